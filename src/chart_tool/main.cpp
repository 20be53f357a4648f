// dorvane-chart DIR KEY OUT.png [--from DATE] [--to DATE] [--size WxH] [--file-number N]: draws
// a symbol's chart into a PNG file without a display, and prints its suspect days. dorvane-cli
// chart runs it, so that dorvane-cli itself never loads Qt.
#include <QGuiApplication>
#include <QImage>
#include <QtGlobal>

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "core/chart_bad_days.h"
#include "core/chart_options.h"
#include "core/chart_series.h"
#include "gui/chart/chart_image.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kUsage =
    "usage: dorvane-chart DIR KEY OUT.png [--from DATE] [--to DATE] [--size WxH] "
    "[--file-number N]\n";

// Qt's own notes (about the runtime directory, fonts and the like) would mix with the
// program's messages on the error stream: only its critical and fatal messages are shown.
void quiet_messages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}

// The request from the words after the program's name; false (usage printed or message set)
// when they are not one.
bool parse_words(const std::vector<std::string>& words, core::ChartRequest& request,
                 std::string& message, bool& usage) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word != "--from" && word != "--to" && word != "--size" && word != "--file-number") {
      positional.push_back(word);
      continue;
    }
    if (i + 1 == words.size()) {
      usage = true;
      return false;
    }
    const std::string& value = words[++i];
    if (word == "--file-number") {
      const auto [end, ec] =
          std::from_chars(value.data(), value.data() + value.size(), request.file_number);
      if (ec != std::errc() || end != value.data() + value.size() || request.file_number < 1) {
        usage = true;
        return false;
      }
      continue;
    }
    const bool ok =
        word == "--size"
            ? core::parse_chart_size(value, request.width, request.height, message)
            : core::parse_chart_date(word.substr(2), value,
                                     word == "--from" ? request.from : request.to, message);
    if (!ok) return false;
  }
  if (positional.size() != 3) {
    usage = true;
    return false;
  }
  request.directory = positional[0];
  request.key = positional[1];
  request.output = positional[2];
  return core::check_chart_request(request, message);
}

// "MM/DD/YY reason", with the time after the date for an intraday series.
std::string suspect_line(const core::ChartSeries& series, const core::Suspect& suspect) {
  std::string line = core::chart_day_text(series, suspect.index);
  line += ' ';
  line += core::suspect_text(suspect.reason);
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  core::ChartRequest request;
  std::string message;
  bool usage = false;
  if (!parse_words(words, request, message, usage)) {
    if (usage) {
      std::cerr << kUsage;
      return kExitUsage;
    }
    std::cerr << "dorvane-chart: " << message << "\n";
    return kExitFailure;
  }

  core::ChartSeries series;
  if (!core::load_chart_series(request.directory, request.key, series, message,
                               request.file_number)) {
    std::cerr << message << "\n";
    return kExitFailure;
  }
  if (!message.empty()) std::cerr << "note: " << message << "\n";
  int first = 0;
  int last = -1;
  if (!core::chart_span_of_dates(series, request.from, request.to, first, last)) {
    std::cerr << "dorvane-chart: " << request.key << " has no quote "
              << (request.from || request.to ? "in the dates asked for" : "to draw") << "\n";
    return kExitFailure;
  }

  // Drawn without a display whatever the environment says: text needs a platform's fonts.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quiet_messages);
  // Qt sees only the program's name: none of the user's words is taken for a Qt option.
  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  QGuiApplication app(qt_argc, qt_argv);
  const QImage image =
      renderChartImage(series, QSize(request.width, request.height), request.from, request.to);
  if (image.isNull() || image.width() != request.width || image.height() != request.height) {
    std::cerr << "dorvane-chart: not enough memory for a picture of " << request.width << "x"
              << request.height << " pixels\n";
    return kExitFailure;
  }
  if (!writeChartPng(image, request.output, message)) {
    std::cerr << message << "\n";
    return kExitFailure;
  }
  std::string lines;
  for (const core::Suspect& suspect : core::find_suspects(series))
    if (suspect.index >= first && suspect.index <= last)
      lines += suspect_line(series, suspect) + "\n";
  std::cout << lines << std::flush;
  return std::cout ? kExitOk : kExitFailure;
}
