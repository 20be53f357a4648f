// The quotes grid: cell texts, loading in windows newest first, the selection of the row
// asked for, damaged data files, and what clicks and keys on the symbols grid do.
#include <QHeaderView>

#include "browser_fixture.h"
#include "core/chart_series.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "qdb/dates.h"
#include "qdb/writer.h"

namespace gui_test {
namespace {

QStringList rowTexts(const CQuotesGridModel& model, int row) {
  QStringList texts;
  for (int c = 0; c < model.columnCount(); ++c) texts << model.text(row, c);
  return texts;
}

TEST(QuotesGridModelTest, CellTextsFollowTheGridFormats) {
  testing_support::TempDir dir;
  const std::string d = dir.path().string();
  ASSERT_TRUE(qdb::create_portfolio(d));
  std::vector<qdb::QuoteBar> bars = {
      {qdb::date_serial(2000, 1, 3), 0, 12.3f, -1.0f, 0.0f, 12.5f, 1234.5f, 7.0f},
      {qdb::date_serial(1999, 12, 31), 0, 1.0f, 2.0f, 0.5f, 1.5f, 10.0f, -3.0f},
  };
  // Records in file order are oldest first.
  std::swap(bars[0], bars[1]);
  ASSERT_TRUE(qdb::write_data_file(d, 1, bars, qdb::default_layout(28), 28));
  ASSERT_TRUE(qdb::append_master_record(d, qdb::make_master_record(1, "X", "X CO", 28, 7)));

  CQuotesGridModel model;
  const QuoteLoadResult result = load_quotes(model, d, "X");
  ASSERT_EQ(result.status, QuoteLoadResult::Status::kOk);
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(rowTexts(model, 0),
            QStringList({"01/03/00", "12.3000", "N/A", "0.0000", "12.5000", "1234", "7"}));
  EXPECT_EQ(rowTexts(model, 1),
            QStringList({"12/31/99", "1.0000", "2.0000", "0.5000", "1.5000", "10", "N/A"}));
  EXPECT_EQ(model.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), "Open Interest");
}

TEST(QuotesGridModelTest, FieldsMissingFromTheLayoutShowNotAvailable) {
  testing_support::TempDir dir;
  gui_test::make_portfolio(dir.path(), {{1, "SHORT", "SHORT REC", daily_bars(3), 20, false}});
  CQuotesGridModel model;
  ASSERT_EQ(load_quotes(model, dir.path().string(), "SHORT").status, QuoteLoadResult::Status::kOk);
  ASSERT_EQ(model.rowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(model.text(row, 5), "N/A");
    EXPECT_EQ(model.text(row, 6), "N/A");
  }
}

TEST(QuotesGridModelTest, FourHundredAndOneQuotesLoadInTwoWindowsNewestFirst) {
  testing_support::TempDir dir;
  gui_test::make_portfolio(dir.path(), {{1, "LONG", "LONG CO", daily_bars(401), 28, false}});
  CQuotesGridModel model;
  std::vector<int> windows;
  const QuoteLoadResult result = load_quotes(model, dir.path().string(), "LONG",
                                             [&](int loaded, int) { windows.push_back(loaded); });
  EXPECT_EQ(result.status, QuoteLoadResult::Status::kOk);
  EXPECT_EQ(windows, std::vector<int>({400, 401}));
  ASSERT_EQ(model.rowCount(), 401);
  const std::vector<qdb::QuoteBar> bars = daily_bars(401);
  // Row 0 is quote index 400, row 400 is quote index 0.
  for (int row = 0; row < 401; ++row) ASSERT_EQ(model.bar(row).date, bars[400 - row].date);
  EXPECT_EQ(result.first_date, bars[0].date);
  EXPECT_EQ(result.last_date, bars[400].date);
}

// A header's count is unsigned: a file of 40,000 quotes fills the grid and the chart in full.
TEST(QuotesGridModelTest, FortyThousandQuotesLoadInFull) {
  testing_support::TempDir dir;
  std::vector<qdb::QuoteBar> bars;
  qdb::DateSerial date = qdb::date_serial(1900, 1, 1);
  for (int i = 0; i < 40000; ++i, ++date)
    bars.push_back({date, 0, 5.0f, 6.0f, 4.0f, 5.0f + static_cast<float>(i % 8) / 8, 9.0f, 0.0f});
  ASSERT_TRUE(qdb::create_portfolio(dir.dir()));
  ASSERT_TRUE(qdb::write_data_file(dir.dir(), 1, bars, qdb::default_layout(28), 28));
  ASSERT_TRUE(qdb::append_master_record(
      dir.dir(), qdb::make_master_record(1, "LONG", "LONG CO", 28, 7, date, date)));
  CQuotesGridModel model;
  const QuoteLoadResult result = load_quotes(model, dir.dir(), "LONG");
  EXPECT_EQ(result.status, QuoteLoadResult::Status::kOk);
  EXPECT_EQ(result.total, 40000);
  EXPECT_EQ(result.loaded, 40000);
  ASSERT_EQ(model.rowCount(), 40000);
  EXPECT_EQ(model.bar(0).date, bars.back().date);
  EXPECT_EQ(model.bar(39999).date, bars.front().date);
  EXPECT_EQ(result.first_date, bars.front().date);
  EXPECT_EQ(result.last_date, bars.back().date);
  core::ChartSeries chart;
  std::string message;
  ASSERT_TRUE(core::load_chart_series(dir.dir(), "LONG", chart, message)) << message;
  EXPECT_EQ(chart.size(), 40000);
}

class QuotesGridViewTest : public BrowserFixture {};

// An intraday portfolio (32-byte records, 8 fields, no DOP) beside a daily history from 1928:
// the grid shows a Time column beside the date for the first only, and 1928 as 1928.
TEST_F(QuotesGridViewTest, IntradaySeriesShowATimeColumnAndOldDatesTheirCentury) {
  const std::string d = root().string() + "/";
  ASSERT_TRUE(qdb::create_portfolio(d));
  qdb::SeriesLayout intraday;
  for (int f = 0; f < qdb::kFieldCountAll; ++f)
    intraday.column[f] = static_cast<std::int16_t>(f + 1);
  const std::vector<qdb::QuoteBar> ticks = {
      {qdb::date_serial(2011, 4, 29), qdb::time_code(9, 30, 0), 126.1f, 132.0f, 125.1f, 130.7f,
       103200.0f, 0.0f},
      {qdb::date_serial(2011, 4, 29), qdb::time_code(17, 5, 17), 127.0f, 133.0f, 126.0f, 131.5f,
       2000.0f, 0.0f, 17 * 3600 + 5 * 60 + 17}};
  ASSERT_TRUE(qdb::write_data_file(d, 1, ticks, intraday, 32));
  ASSERT_TRUE(qdb::append_master_record(d, qdb::make_master_record(1, "ASCO", "ASCO", 32, 8)));
  const std::vector<qdb::QuoteBar> days = {
      {qdb::date_serial(1928, 10, 1), 0, 1.0f, 2.0f, 0.5f, 1.5f, 10.0f, 1.0f},
      {qdb::date_serial(2022, 8, 29), 0, 1.0f, 2.0f, 0.5f, 1.5f, 10.0f, 1.0f}};
  ASSERT_TRUE(qdb::write_data_file(d, 2, days, qdb::default_layout(28), 28));
  ASSERT_TRUE(qdb::append_master_record(d, qdb::make_master_record(2, "SPX", "SPX", 28, 7)));
  startUp();

  const CQuotesGridModel* model = view()->quotesModel();
  ASSERT_EQ(view()->currentSymbol(), "ASCO");
  EXPECT_TRUE(prompter.messages.empty());
  ASSERT_EQ(model->columnCount(), 8);
  EXPECT_EQ(
      model->headerData(CQuotesGridModel::kTimeColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
      "Time");
  EXPECT_EQ(rowTexts(*model, 0), QStringList({"04/29/11", "127.0000", "133.0000", "126.0000",
                                              "131.5000", "2000", "0", "17:05:17"}));
  EXPECT_EQ(model->text(1, CQuotesGridModel::kTimeColumn), "09:30:00");
  // Shown second, beside the date.
  EXPECT_EQ(view()->quotesGrid()->horizontalHeader()->visualIndex(CQuotesGridModel::kTimeColumn),
            1);

  view()->symbolsGrid()->selectRow(1);
  view()->FillQuotesGrid(0);
  ASSERT_EQ(view()->currentSymbol(), "SPX");
  EXPECT_EQ(model->columnCount(), 7);
  EXPECT_EQ(model->text(0, 0), "08/29/22");
  EXPECT_EQ(model->text(1, 0), "10/01/1928");
  EXPECT_EQ(view()->firstDateText(), "10/01/1928");
  EXPECT_EQ(view()->lastDateText(), "08/29/22");
}

TEST_F(QuotesGridViewTest, AnEmptySeriesSelectsNothingAndARowBeyondTheSeriesSelectsNothing) {
  make_portfolio(root(), {{1, "NONE", "NO QUOTES", daily_bars(0), 28, false},
                          {2, "THREE", "THREE CO", daily_bars(3), 28, false}});
  startUp();
  EXPECT_EQ(view()->currentSymbol(), "NONE");
  EXPECT_EQ(view()->quoteCount(), 0);
  EXPECT_EQ(view()->quotesModel()->rowCount(), 0);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), -1);
  EXPECT_EQ(view()->firstDateText(), "00/00/00");
  EXPECT_EQ(view()->lastDateText(), "00/00/00");
  EXPECT_EQ(frame->quotePaneText(), "No Quotes Read");
  EXPECT_TRUE(prompter.messages.empty());

  view()->symbolsGrid()->selectRow(1);
  view()->FillQuotesGrid(5);
  EXPECT_EQ(view()->currentQuoteRow(), 5);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), -1);
  view()->FillQuotesGrid(2);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), 2);
  EXPECT_EQ(frame->quotePaneText(), "Quote 1 of 3");
}

TEST_F(QuotesGridViewTest, AMissingDataFileSaysErrorInFillQuotesGrid) {
  make_portfolio(root(), {{1, "GONE", "GONE CO", daily_bars(3), 28, false},
                          {2, "HERE", "HERE CO", daily_bars(2), 28, false}});
  std::filesystem::remove(root() / "F1.DAT");
  prompter.expectMessage();
  startUp();
  EXPECT_EQ(prompter.messageTexts(), QStringList({"Error in FillQuotesGrid\nF1.DAT is missing"}));
  EXPECT_EQ(view()->quoteCount(), 0);
  EXPECT_EQ(view()->quotesModel()->rowCount(), 0);
}

// The header claims 450 quotes, the file holds 430: the rows read stay, newest first, each
// one read from the file, and the grid says so.
TEST_F(QuotesGridViewTest, AShortDataFileKeepsTheRowsReadAndSaysSo) {
  make_portfolio(root(), {{1, "CUT", "CUT CO", daily_bars(450), 28, false}});
  std::filesystem::resize_file(root() / "F1.DAT", 28u * 431u);
  prompter.expectMessage();
  startUp();
  EXPECT_EQ(prompter.messageTexts(),
            QStringList({"Error in FillQuotesGrid\nF1.DAT is shorter than its header says (430 of "
                         "450 quotes)"}));
  const CQuotesGridModel* model = view()->quotesModel();
  EXPECT_EQ(view()->quoteCount(), model->rowCount());
  EXPECT_LE(view()->quoteCount(), 430);
  for (int row = 0; row < model->rowCount(); ++row) {
    ASSERT_NE(model->bar(row).date, 0);
    if (row > 0) {
      ASSERT_LT(model->bar(row).date, model->bar(row - 1).date);
    }
  }
}

class SymbolsGridInputTest : public BrowserFixture {
 protected:
  void SetUp() override {
    make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                            {2, "BBB", "BBB CO", daily_bars(5), 28, false},
                            {3, "CCC", "CCC CO", daily_bars(7), 28, false}});
    startUp();
  }
  QPoint rowCentre(int row) const {
    return view()->symbolsGrid()->visualRect(view()->symbolsModel()->index(row, 0)).center();
  }
};

TEST_F(SymbolsGridInputTest, AClickOnASymbolLoadsItsQuotesWithTheNewestSelected) {
  ASSERT_EQ(view()->quoteCount(), 3);
  QTest::mouseClick(view()->symbolsGrid()->viewport(), Qt::LeftButton, {}, rowCentre(1));
  EXPECT_EQ(view()->currentSymbolRow(), 1);
  EXPECT_EQ(view()->currentSymbol(), "BBB");
  EXPECT_EQ(view()->quoteCount(), 5);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), 0);
  EXPECT_EQ(frame->windowTitle(), "Dorvane - " + rootText() + " - BBB");
  EXPECT_EQ(frame->symbolPaneText(), "Symbol 2 of 3");
  EXPECT_EQ(frame->quotePaneText(), "Quote 5 of 5");
}

TEST_F(SymbolsGridInputTest, ArrowKeysLoadTheHighlightedSymbolAfterAPauseWhileEnterLoadsAtOnce) {
  view()->symbolsGrid()->setFocus();
  view()->symbolsGrid()->setCurrentIndex(view()->symbolsModel()->index(0, 0));
  QTest::keyClick(view()->symbolsGrid(), Qt::Key_Down);
  QTest::keyClick(view()->symbolsGrid(), Qt::Key_Down);
  EXPECT_EQ(view()->currentSymbolRow(), 2);
  EXPECT_EQ(frame->windowTitle(), "Dorvane - " + rootText() + " - CCC");
  // During the pause the quotes still belong to the symbol last loaded; then CCC's load.
  EXPECT_EQ(view()->currentSymbol(), "AAA");
  EXPECT_TRUE(view()->symbolLoadPending());
  ASSERT_TRUE(QTest::qWaitFor([this] { return view()->currentSymbol() == "CCC"; }, 3000));
  EXPECT_EQ(view()->quoteCount(), 7);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), 0);

  QTest::keyClick(view()->symbolsGrid(), Qt::Key_Up);
  QTest::keyClick(view()->symbolsGrid(), Qt::Key_Return);
  EXPECT_FALSE(view()->symbolLoadPending());
  EXPECT_EQ(view()->currentSymbol(), "BBB");
  EXPECT_EQ(view()->quoteCount(), 5);
}

// A command given during the pause acts on the highlighted symbol: its load comes first.
TEST_F(SymbolsGridInputTest, ACommandDuringThePauseActsOnTheHighlightedSymbol) {
  for (const char* command :
       {"editQuote", "split", "adjust", "deleteQuote", "deleteSymbol", "editSymbol", "dataFacts"}) {
    SCOPED_TRACE(command);
    view()->symbolsGrid()->setFocus();
    view()->symbolsGrid()->selectRow(0);
    view()->FillQuotesGrid(0);
    QTest::keyClick(view()->symbolsGrid(), Qt::Key_Down);
    QTest::keyClick(view()->symbolsGrid(), Qt::Key_Down);
    ASSERT_EQ(view()->currentSymbol(), "AAA");
    QString shown;
    int quotes = 0;
    prompter.expectDialog([&](QDialog&) {
      shown = view()->currentSymbol();
      quotes = view()->quoteCount();
      return int(QDialog::Rejected);
    });
    frame->commandAction(QString::fromLatin1(command))->trigger();
    EXPECT_EQ(shown, "CCC");
    EXPECT_EQ(quotes, 7);
    EXPECT_EQ(view()->currentSymbolRow(), 2);
  }
}

TEST_F(SymbolsGridInputTest, HomeAndEndGoToTheFirstAndLastRowAndTheLastColumnFillsTheGrid) {
  CGridView* grid = view()->quotesGrid();
  grid->setFocus();
  grid->setCurrentIndex(view()->quotesModel()->index(1, 3));
  QTest::keyClick(grid, Qt::Key_End);
  EXPECT_EQ(grid->selectedRow(), 2);
  EXPECT_EQ(view()->currentQuoteRow(), 2);
  QTest::keyClick(grid, Qt::Key_Home);
  EXPECT_EQ(grid->selectedRow(), 0);
  EXPECT_EQ(frame->quotePaneText(), "Quote 3 of 3");

  for (CGridView* each : {view()->symbolsGrid(), view()->quotesGrid()}) {
    const QHeaderView* header = each->horizontalHeader();
    const int last = header->count() - 1;
    EXPECT_EQ(header->sectionViewportPosition(last) + header->sectionSize(last),
              each->clientWidth());
  }
}

TEST_F(SymbolsGridInputTest, SelectingAQuoteRowMakesItCurrent) {
  view()->quotesGrid()->selectRow(2);
  EXPECT_EQ(view()->currentQuoteRow(), 2);
  EXPECT_EQ(frame->quotePaneText(), "Quote 1 of 3");
}

}  // namespace
}  // namespace gui_test
