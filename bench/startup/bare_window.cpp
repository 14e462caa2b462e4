// Baseline for the start-up benchmark: the least a Qt program needs to show the launcher's
// picture. Same embedded background, same client size, same title, no controls, no sound, no
// configuration file. The launcher's start-up time and memory are compared with this window's.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "window/layout.h"

namespace {

// Paints the picture unscaled from the top-left corner, clipped to the window.
class BareWindow : public QWidget {
  public:
    BareWindow() : picture_(QStringLiteral(":/background.png")) {
        namespace layout = vantu::layout;
        setFixedSize(layout::twipsToPixels(layout::kForm.clientWidth),
                     layout::twipsToPixels(layout::kForm.clientHeight));
        setWindowTitle(QString::fromUtf8(layout::kForm.caption.data(),
                                         static_cast<qsizetype>(layout::kForm.caption.size())));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture_);
    }

  private:
    QPixmap picture_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareWindow window;
    window.show();
    return app.exec();
}
