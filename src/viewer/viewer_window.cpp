#include "viewer/viewer_window.h"

#include <QCloseEvent>
#include <QPainter>

#include "gui/window_settings.h"

namespace lorvane {

namespace {

constexpr std::string_view kSection = "Viewer";

// Image1: the decoded picture stretched over the rectangle the layout gives it.
// Decoded at about that size in device pixels, so it is drawn nearly 1:1 and sharp.
class PictureControl final : public QWidget {
public:
    explicit PictureControl(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Image1"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setImage(const QImage& image) {
        image_ = image;
        update();
    }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
    }

private:
    QImage image_;
};

PictureControl* control(QWidget* w) { return static_cast<PictureControl*>(w); }

}  // namespace

ViewerWindow::ViewerWindow(AppContext& ctx) : ctx_(ctx) {
    setObjectName(form::Viewer);
    setWindowTitle(QStringLiteral("Lorvane Viewer"));
    resize(480, 360);
    image_ = new PictureControl(this);
    image_->hide();
    sharpen_.setSingleShot(true);
    sharpen_.setInterval(150);
    connect(&sharpen_, &QTimer::timeout, this, [this] {
        if (!path_.empty()) ShowPicture(std::string(path_));
    });
    RestoreWindowGeometry(*this, ctx_.store, kSection, isOn(ctx_.settings.RestoreWindowSizePosition));
}

QSize ViewerWindow::bound() const {
    const qreal ratio = devicePixelRatioF();
    return {qRound(width() * ratio), qRound(height() * ratio)};
}

void ViewerWindow::ShowPicture(const std::string& path) {
    image_->hide();
    sharpen_.stop();
    // A coarse first picture gives way to its sharp one when that is ready, unless another
    // ShowPicture came in between (the cache has let that sharp one go).
    picture_ = path.empty() ? DecodedPicture{} : cache_.take(path, bound(), [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (cache_.sharpReady() && !path_.empty()) ShowPicture(std::string(path_));
            },
            Qt::QueuedConnection);
    });
    if (picture_.isNull()) {
        // Not a picture (or none): the window stays empty, without a message.
        picture_ = {};
        path_.clear();
        control(image_)->setImage({});
        if (path.empty()) cache_.clear();
        return;
    }
    path_ = path;
    control(image_)->setImage(picture_.image);
    layOut();
}

void ViewerWindow::ReadAhead(const std::string& path) {
    if (!path.empty()) cache_.readAhead(path, bound());
}

void ViewerWindow::layOut() {
    const QRect r = FitPicture(picture_.natural, size());
    if (r.isEmpty()) return;  // nothing shown, or a minimised window
    image_->hide();
    image_->setGeometry(r);
    image_->show();
    // Grown past the decoded size of a picture that has more to give: decode again.
    const QSize have = picture_.image.size();
    if (have != picture_.natural && r.width() * devicePixelRatioF() > have.width() + 1 && !cache_.sharpPending())
        sharpen_.start();
}

void ViewerWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ViewerWindow::SaveSettings() { SaveWindowGeometry(*this, ctx_.store, kSection); }

void ViewerWindow::closeEvent(QCloseEvent* event) {
    ShowPicture({});
    SaveSettings();
    event->accept();
    ctx_.windows.WindowClosing(this);
}

}  // namespace lorvane
