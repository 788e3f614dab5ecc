// The reference of the memory benchmark: a minimal Qt Widgets program with
// one window of the main window's size, painted in one colour with one line
// of text. With -HIDE it starts without showing the window; the lines "show"
// and "hide" on its standard input show and hide it.
#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QSocketNotifier>
#include <QWidget>
#include <cstring>
#include <string>

namespace {

class PlainWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(40, 40, 48));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Quarrion DORVEL_KITE7"));
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  PlainWindow window;
  window.setWindowTitle(QStringLiteral("reference"));
  window.resize(900, 560);
  const bool hidden = argc > 1 && std::strcmp(argv[1], "-HIDE") == 0;
  if (!hidden) window.show();

  std::string pending;
  QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&commands, &QSocketNotifier::activated, [&] {
    char buffer[256];
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
      QApplication::quit();
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string line = pending.substr(0, end);
      if (line == "show") window.show();
      if (line == "hide") window.hide();
    }
  });
  return app.exec();
}
