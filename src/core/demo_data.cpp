#include "core/demo_data.h"

#include <algorithm>
#include <cmath>

#include "qdb/dates.h"
#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace core {

namespace {

// splitmix64: a fixed-seed generator whose output is the same on every platform and library
// (the standard distributions are not).
class DemoRandom {
 public:
  explicit DemoRandom(std::uint64_t seed) : m_state(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), from the top 53 bits.
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  // Roughly normal with mean 0 and deviation 1: the sum of twelve uniforms less 6.
  double normal() {
    double sum = 0;
    for (int i = 0; i < 12; ++i) sum += uniform();
    return sum - 6.0;
  }

 private:
  std::uint64_t m_state;
};

// Prices move in steps: sixteenths before US stock prices went decimal, cents after.
double round_to(double value, double step) {
  if (step <= 0) return value;
  return std::round(value / step) * step;
}

bool is_trading_day(qdb::DateSerial serial) {
  if (qdb::is_weekend(serial)) return false;
  int years = 0, month = 0, day = 0;
  qdb::split_date(serial, years, month, day);
  // The fixed-date holidays only; enough to make the calendar look real.
  return !((month == 1 && day == 1) || (month == 7 && day == 4) || (month == 12 && day == 25));
}

struct DemoSymbol {
  const char* symbol;
  const char* name;
  int record_length;
  bool dop;           // write a DOP file
  int price_format;   // DOP input/display format of the prices
  int volume_format;  // DOP input/display format of the volume
  bool volume_in_20;  // 20-byte record holding DATE HIGH LOW CLOSE VOL (needs the DOP)
  DemoHistory history;
};

DemoHistory stock(std::uint64_t seed, qdb::DateSerial first, double price, double drift,
                  double volatility, double volume) {
  DemoHistory h;
  h.seed = seed;
  h.first_date = first;
  h.last_date = qdb::date_serial(2003, 12, 31);
  h.start_price = price;
  h.drift = drift;
  h.volatility = volatility;
  h.volume = volume;
  h.tick_before_2001 = 1.0 / 16;
  h.tick = 0.01;
  return h;
}

DemoHistory future(std::uint64_t seed, double price, double volatility, double tick, double volume,
                   double open_interest) {
  DemoHistory h;
  h.seed = seed;
  h.first_date = qdb::date_serial(1998, 1, 2);
  h.last_date = qdb::date_serial(2002, 12, 31);
  h.start_price = price;
  h.drift = 0.0001;
  h.volatility = volatility;
  h.volume = volume;
  h.open_interest = open_interest;
  h.tick = tick;
  return h;
}

std::vector<DemoSymbol> stocks() {
  const qdb::DateSerial y1997 = qdb::date_serial(1997, 1, 2);
  DemoHistory split = stock(108, y1997, 18.0, 0.0006, 0.018, 420000);
  split.split_date = qdb::date_serial(1999, 6, 14);
  return {
      {"ACME", "Acme Industries", 24, false, 0, 0, false,
       stock(101, y1997, 24.5, 0.0004, 0.017, 350000)},
      {"BKR A", "Birk Holdings A", 24, false, 0, 0, false,
       stock(102, y1997, 61.0, 0.0003, 0.012, 90000)},
      {"CNTL", "Central Rail", 20, false, 0, 0, false, stock(103, y1997, 33.25, 0.0002, 0.014, 0)},
      {"DLTA", "Delta Foods", 28, false, 0, 0, false,
       stock(104, y1997, 15.75, 0.0002, 0.011, 260000)},
      {"ELMR", "Elmore Mining", 24, true, 2, 0, false,
       stock(105, y1997, 4.5, 0.0001, 0.03, 1200000)},
      {"FRNT", "Frontier Energy", 24, false, 0, 0, false,
       stock(106, y1997, 41.0, 0.0004, 0.016, 510000)},
      {"GRNV", "Greenvale Bank", 20, true, 2, 0, true,
       stock(107, y1997, 27.0, 0.0003, 0.013, 180000)},
      {"HRBR", "Harbor Shipping", 24, false, 0, 0, false, split},
      {"IRNW", "Ironwood Steel", 28, true, 2, 0, false,
       stock(109, y1997, 12.0, -0.0001, 0.022, 640000)},
      {"JUNO", "Juno Pharma", 24, false, 0, 0, false,
       stock(110, qdb::date_serial(1998, 3, 2), 22.0, 0.0007, 0.025, 300000)},
      {"KSTL", "Kestrel Airlines", 24, true, 2, 100, false,
       stock(111, y1997, 19.5, 0.0, 0.021, 880000)},
      {"LNDN", "Linden Paper", 24, false, 0, 0, false,
       stock(112, y1997, 36.0, 0.0001, 0.012, 150000)},
      {"MRDN", "Meridian Telecom", 24, false, 0, 0, false,
       stock(113, qdb::date_serial(1999, 2, 1), 58.0, -0.0004, 0.03, 2100000)},
      {"NRTH", "Northway Retail", 20, false, 0, 0, false,
       stock(114, y1997, 9.875, 0.0003, 0.015, 0)},
  };
}

std::vector<DemoSymbol> tech() {
  const qdb::DateSerial y1997 = qdb::date_serial(1997, 1, 2);
  return {
      {"ORBT", "Orbit Software", 24, false, 0, 0, false,
       stock(201, y1997, 12.0, 0.0012, 0.032, 1500000)},
      {"PXL", "Pixel Devices", 24, true, 3, 0, false,
       stock(202, qdb::date_serial(1998, 9, 1), 8.0, 0.0015, 0.038, 2400000)},
      {"QNTM", "Quantum Circuits", 28, false, 0, 0, false,
       stock(203, y1997, 30.0, 0.0009, 0.027, 980000)},
      {"RDWV", "Redwave Networks", 24, false, 0, 0, false,
       stock(204, qdb::date_serial(1999, 11, 1), 45.0, -0.0008, 0.045, 3100000)},
  };
}

std::vector<DemoSymbol> futures() {
  return {
      {"CL", "Crude Oil", 28, false, 0, 0, false, future(301, 17.5, 0.021, 0.01, 60000, 180000)},
      {"GC", "Gold", 28, false, 0, 0, false, future(302, 290.0, 0.009, 0.1, 25000, 150000)},
      // Treasury bond prices in 32nds and volume in hundreds: the DOP's format numbers say so.
      {"US", "Treasury Bonds", 28, true, -5, 100, false,
       future(303, 118.0, 0.005, 1.0 / 32, 350000, 520000)},
      {"SP", "S&P 500 Index", 28, false, 0, 0, false,
       future(304, 975.0, 0.012, 0.1, 45000, 380000)},
  };
}

// Columns of a symbol's layout, in the record's column order.
qdb::SeriesLayout layout_of(const DemoSymbol& s) {
  qdb::SeriesLayout layout = qdb::default_layout(s.record_length);
  if (s.volume_in_20) {
    layout = {};
    layout.column[qdb::kDate] = 1;
    layout.column[qdb::kHigh] = 2;
    layout.column[qdb::kLow] = 3;
    layout.column[qdb::kClose] = 4;
    layout.column[qdb::kVol] = 5;
  }
  if (s.dop) {
    for (int f = qdb::kOpen; f <= qdb::kClose; ++f) {
      layout.input_format[f] = static_cast<std::int16_t>(s.price_format);
      layout.display_format[f] = static_cast<std::int16_t>(s.price_format);
    }
    layout.input_format[qdb::kVol] = static_cast<std::int16_t>(s.volume_format);
    layout.display_format[qdb::kVol] = static_cast<std::int16_t>(s.volume_format);
  }
  return layout;
}

int field_count_of(const qdb::SeriesLayout& layout) {
  int count = 0;
  for (int f = 0; f < qdb::kFieldCountAll; ++f) count = std::max<int>(count, layout.column[f]);
  return count;
}

bool write_portfolio(const std::string& path, const std::vector<DemoSymbol>& symbols,
                     const char* subdirectory, std::string& message) {
  const std::string dir = qdb::normalize_dir(path);
  if (!qdb::create_portfolio(dir)) {
    message = "cannot create the portfolio " + dir;
    return false;
  }
  int file_number = 0;
  for (const DemoSymbol& s : symbols) {
    ++file_number;
    std::vector<qdb::QuoteBar> bars = demo_quotes(s.history);
    if (s.volume_format == 100)
      for (auto& bar : bars) bar.volume = static_cast<float>(std::round(bar.volume / 100.0));
    const qdb::SeriesLayout layout = layout_of(s);
    if (!qdb::write_data_file(dir, file_number, bars, layout, s.record_length) ||
        (s.dop && !qdb::write_dop_file(dir, file_number, layout))) {
      message = "cannot write the data of " + std::string(s.symbol) + " in " + dir;
      return false;
    }
    const qdb::MasterRecord record = qdb::make_master_record(
        file_number, s.symbol, s.name, s.record_length, field_count_of(layout),
        bars.empty() ? 0 : bars.front().date, bars.empty() ? 0 : bars.back().date);
    if (!qdb::append_master_record(dir, record)) {
      message = "cannot add " + std::string(s.symbol) + " to the MASTER in " + dir;
      return false;
    }
  }
  if (subdirectory) {
    // A "<DIR>" entry uses only its name bytes. It gets a file number of its own and the
    // subdirectory's name as its symbol anyway, so the MASTER passes the checks that every
    // load runs (unique file numbers, no blank symbol) and is never offered for repair.
    qdb::MasterRecord record = qdb::make_directory_record(subdirectory);
    record.bytes[qdb::master_offset::kFileNumber] = static_cast<std::uint8_t>(file_number + 1);
    record.set_symbol(subdirectory);
    if (!qdb::append_master_record(dir, record)) {
      message = "cannot add the sub-portfolio " + std::string(subdirectory) + " in " + dir;
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> demo_portfolios() { return {"Stocks", "Stocks/TECH", "Futures"}; }

std::vector<qdb::QuoteBar> demo_quotes(const DemoHistory& h) {
  std::vector<qdb::QuoteBar> bars;
  DemoRandom random(h.seed);
  const qdb::DateSerial decimal_day = qdb::date_serial(2001, 4, 9);
  double close = h.start_price;
  double open_interest = h.open_interest;
  for (qdb::DateSerial day = h.first_date; day != 0 && day <= h.last_date; ++day) {
    const qdb::DateSerial serial = day;
    if (!is_trading_day(serial)) continue;
    const double step =
        (h.tick_before_2001 > 0 && serial < decimal_day) ? h.tick_before_2001 : h.tick;
    // An unadjusted 2-for-1 split: before it every share was worth twice as much, and half as
    // many changed hands.
    const double factor = (h.split_date != 0 && serial < h.split_date) ? 2.0 : 1.0;

    const double gap = 1.0 + h.volatility * 0.25 * random.normal();
    const double ret = 1.0 + h.drift + h.volatility * random.normal();
    double open = std::max(close * gap, step);
    double next_close = std::max(open * ret, step);
    const double top = std::max(open, next_close) * (1.0 + h.volatility * 0.5 * random.uniform());
    const double bottom =
        std::min(open, next_close) * (1.0 - h.volatility * 0.5 * random.uniform());
    close = next_close;

    qdb::QuoteBar bar;
    bar.date = serial;
    bar.open = static_cast<float>(round_to(open * factor, step));
    bar.close = static_cast<float>(round_to(next_close * factor, step));
    bar.high = std::max({static_cast<float>(round_to(top * factor, step)), bar.open, bar.close});
    bar.low = std::min(
        {static_cast<float>(std::max(round_to(bottom * factor, step), step)), bar.open, bar.close});
    const double volume = h.volume * (0.4 + 1.2 * random.uniform()) / factor;
    bar.volume = static_cast<float>(std::round(volume / 100.0) * 100.0);
    if (h.open_interest > 0) {
      open_interest =
          std::max(open_interest * (1.0 + 0.01 * random.normal()), h.open_interest * 0.2);
      bar.oi = static_cast<float>(std::round(open_interest));
    } else {
      bar.oi = 0;
    }
    bars.push_back(bar);
  }
  return bars;
}

bool make_demo_tree(const std::string& root, std::string& message) {
  std::string base = qdb::normalize_dir(root.empty() ? "." : root);
  for (const std::string& portfolio : demo_portfolios()) {
    const std::string dir = base + portfolio;
    if (qdb::DirListing(qdb::normalize_dir(dir)).contains("MASTER")) {
      message = "a portfolio already exists in " + dir + "; the demo is not written over it";
      return false;
    }
  }
  const std::string stocks_dir = base + "Stocks";
  return write_portfolio(stocks_dir, stocks(), "TECH", message) &&
         write_portfolio(stocks_dir + qdb::kSeparator + "TECH", tech(), nullptr, message) &&
         write_portfolio(base + "Futures", futures(), nullptr, message);
}

}  // namespace core
