// frmViewer: the picture of the file being worked on, fitted to the window with its
// proportions kept and centred. No menu and no commands of its own: the Editor and
// the Browser tell it what to show.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <string>

#include "gui/app_context.h"
#include "gui/form_interfaces.h"
#include "viewer/picture_cache.h"

namespace lorvane {

class ViewerWindow final : public QWidget, public ViewerForm {
    Q_OBJECT
public:
    explicit ViewerWindow(AppContext& ctx);

    // Shows the file's picture; an empty path, or a file that is not a picture,
    // leaves the window empty, silently.
    void ShowPicture(const std::string& path) override;
    void ReadAhead(const std::string& path) override;
    void SaveSettings() override;
    std::string PicturePath() const override { return path_; }

    // The path shown (empty when none), the picture's own size and the size it was
    // decoded at (empty when none).
    const std::string& Path() const { return path_; }
    QSize Natural() const { return picture_.natural; }
    QSize Decoded() const { return picture_.image.size(); }
    // Image1, the picture control.
    QWidget* Image() const { return image_; }
    const PictureCache& Cache() const { return cache_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layOut();
    // Decoding bound: the window's inner size in device pixels.
    QSize bound() const;

    AppContext& ctx_;
    QWidget* image_ = nullptr;
    std::string path_;
    DecodedPicture picture_;
    PictureCache cache_;
    // After the window grew past what the picture was decoded for, it is decoded
    // again once the resizing has settled, not at every step of it.
    QTimer sharpen_;
};

}  // namespace lorvane
