// The reference of the start-up benchmark: a minimal Qt Widgets program that
// shows one window of the main window's size and paints it in one colour
// with one line of text, as any window with text loads the fonts.
#include <QApplication>
#include <QPainter>
#include <QWidget>

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
  PlainWindow window;
  window.setWindowTitle(QStringLiteral("reference"));
  window.resize(argc > 2 ? QString(argv[1]).toInt() : 900, argc > 2 ? QString(argv[2]).toInt() : 560);
  window.show();
  return app.exec();
}
