// The Viewer: fitting and centring, silence for what is not a picture, Exif
// orientation, decoding at the size shown, the read-ahead, and the Editor and the
// Browser handing it their files.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "app/register_windows.h"
#include "editor/editor_window.h"
#include "support/fake_file_system.h"
#include "support/memory_settings_store.h"
#include "support/qt_test_main.h"
#include "support/raw_files.h"
#include "support/scripted_ui.h"
#include "viewer/viewer_window.h"

namespace lorvane::testing {

namespace {

// A JPEG of the given size, left half red and right half blue, with an Exif
// orientation when it is not 0.
std::string jpeg(QSize size, int orientation = 0) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    if (orientation == 0) return bytes.toStdString();
    // APP1: "Exif", a big-endian TIFF header and one IFD entry, Orientation (SHORT).
    const char exif[] = "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0";
    std::string app1(exif, sizeof exif - 1);
    app1[6 + 8 + 2 + 8 + 1] = static_cast<char>(orientation);
    const std::size_t length = app1.size() + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + app1;
    return bytes.toStdString().insert(2, segment);
}

std::string png(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

bool reddish(QRgb c) { return qRed(c) > 180 && qBlue(c) < 80; }

}  // namespace

class ViewerWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string path(const std::string& name) const {
        return QDir(dir_.path()).absolutePath().toStdString() + '/' + name;
    }
    std::string file(const std::string& name, const std::string& content) {
        writeBytes(path(name), content);
        return path(name);
    }

    struct Run {
        MemorySettingsStore store;
        ScriptedUserInterface ui;
        FakeFileSystem files;
        AppContext ctx{store, ui, files, QStringLiteral("/opt/lorvane")};
        Run() {
            ctx.settings.SemanticsAttributeEnable = 0;
            ctx.settings.SemanticsValueEnable = 0;
            RegisterWindows(ctx);
        }
        ~Run() { ctx.windows.destroyAll(); }
        ViewerWindow* viewer(QSize size) {
            auto* v = static_cast<ViewerWindow*>(ctx.windows.show(form::Viewer));
            v->resize(size);
            if (!QTest::qWaitForWindowExposed(v)) qWarning("the Viewer was not exposed");
            return v;
        }
    };

private slots:
    // Fitted with the proportions kept, centred the other way, small pictures enlarged;
    // laid out again on every resize.
    void fitsAndCentres() {
        Run run;
        for (auto [picture, window, fitted, resized, refitted] :
             {std::tuple{QSize(200, 100), QSize(300, 300), QRect(0, 75, 300, 150), QSize(300, 100),
                         QRect(50, 0, 200, 100)},
              {QSize(100, 200), QSize(400, 200), QRect(150, 0, 100, 200), QSize(100, 400), QRect(0, 100, 100, 200)},
              {QSize(20, 10), QSize(300, 300), QRect(0, 75, 300, 150), QSize(600, 300), QRect(0, 0, 600, 300)},
              {QSize(30, 30), QSize(400, 200), QRect(100, 0, 200, 200), QSize(200, 400), QRect(0, 100, 200, 200)}}) {
            ViewerWindow* v = run.viewer(window);
            v->ShowPicture(file("p.jpg", jpeg(picture)));
            QCOMPARE(v->Image()->geometry(), fitted);
            QVERIFY(v->Image()->isVisible());
            v->resize(resized);
            QTRY_COMPARE(v->Image()->geometry(), refitted);
        }
    }

    // What is not a picture leaves the Viewer empty without a word; a later picture shows.
    void emptyForWhatIsNotAPicture() {
        Run run;
        ViewerWindow* v = run.viewer(QSize(300, 300));
        const std::string picture = file("good.png", png(QSize(40, 20)));
        for (auto [name, content, shown] : {std::tuple{"notes.txt", "just some text", false},
                                            {"good.png", "", true},
                                            {"fake.jpg", "\xFF\xD8 not really", false},
                                            {"missing.jpg", "", false},
                                            {"", "", false},
                                            {"\xE9t\xE9.png", "png", true}}) {
            std::string p = *name ? path(name) : std::string();
            if (*content) writeBytes(p, content);
            if (std::string_view(content) == "png") writeBytes(p, png(QSize(40, 20)));
            v->ShowPicture(p);
            QCOMPARE(v->Image()->isVisible(), shown);
            QCOMPARE(v->Path(), shown ? p : std::string());
            QCOMPARE(v->Natural(), shown ? QSize(40, 20) : QSize());
        }
        QVERIFY(run.ui.messages.empty());
        std::remove(path("\xE9t\xE9.png").c_str());  // QTemporaryDir cannot remove a name it cannot decode
    }

    // Photographs stand upright by their Exif orientation.
    void uprightByExifOrientation() {
        for (auto [orientation, size, topLeftRed, bottomLeftRed] : {std::tuple{0, QSize(40, 20), true, true},
                                                                    {1, QSize(40, 20), true, true},
                                                                    {3, QSize(40, 20), false, false},
                                                                    {6, QSize(20, 40), true, false},
                                                                    {8, QSize(20, 40), false, true}}) {
            const DecodedPicture p = DecodePicture(file("o.jpg", jpeg(QSize(40, 20), orientation)), {});
            QCOMPARE(p.natural, size);
            QCOMPARE(p.image.size(), size);
            QCOMPARE(reddish(p.image.pixel(2, 2)), topLeftRed);
            QCOMPARE(reddish(p.image.pixel(2, size.height() - 3)), bottomLeftRed);
        }
    }

    // Decoded no larger than it is shown (upright), never larger than it is.
    void decodesAtTheSizeShown() {
        for (auto [picture, orientation, bound, decoded] :
             {std::tuple{QSize(2000, 1000), 0, QSize(300, 300), QSize(300, 150)},
              {QSize(2000, 1000), 6, QSize(300, 300), QSize(150, 300)},
              {QSize(200, 100), 0, QSize(300, 300), QSize(200, 100)},
              {QSize(2000, 1000), 0, QSize(), QSize(2000, 1000)}}) {
            const DecodedPicture p = DecodePicture(file("big.jpg", jpeg(picture, orientation)), bound);
            QCOMPARE(p.image.size(), decoded);
            QCOMPARE(p.natural, orientation == 6 ? picture.transposed() : picture);
        }
    }

    // The next picture is read ahead; the one shown is kept until its file changes.
    void keepsAndReadsAhead() {
        PictureCache cache;
        const std::string a = file("a.jpg", jpeg(QSize(64, 32))), b = file("b.jpg", jpeg(QSize(32, 64)));
        using S = PictureCache::Source;
        for (auto [ahead, take, bound, rewrite, source, size] :
             {std::tuple{"", a, QSize(100, 100), false, S::Decoded, QSize(64, 32)},
              {"", a, QSize(50, 50), false, S::Kept, QSize(64, 32)},
              {"b", b, QSize(100, 100), false, S::ReadAhead, QSize(32, 64)},
              {"", b, QSize(100, 100), true, S::Decoded, QSize(48, 64)},
              {"a", b, QSize(100, 100), false, S::Kept, QSize(48, 64)},
              {"", a, QSize(100, 100), false, S::ReadAhead, QSize(64, 32)}}) {
            if (rewrite) writeBytes(b, jpeg(QSize(48, 64)));
            if (*ahead) cache.readAhead(path(std::string(ahead) + ".jpg"), bound);
            QCOMPARE(cache.take(take, bound).image.size(), size);
            QCOMPARE(cache.lastSource(), source);
        }
    }

    // The Editor's View/Viewer opens it on the Editor's file, or empty for a name
    // without a file; closing it empties it, saves its place and unchecks the menus.
    void followsTheEditorAndCloses() {
        Run run;
        auto* editor = static_cast<EditorWindow*>(run.ctx.windows.show(form::Editor));
        QAction* item = editor->findChild<QAction*>(QStringLiteral("mnuViewer"));
        QVERIFY(item->isEnabled());
        const std::string picture = file("{SU=Ann}.png", png(QSize(40, 20)));
        for (auto [folder, name, shown] : {std::tuple{path(""), "{SU=Ann}.png", true}, {path(""), "", false}}) {
            bool handled = false;
            std::string f = folder;
            f.pop_back();
            editor->InitializeFilename(f, name, handled);
            item->trigger();
            auto* v = static_cast<ViewerWindow*>(run.ctx.windows.loaded(form::Viewer));
            QVERIFY(v && v->isVisible() && item->isChecked());
            QCOMPARE(v->Path(), shown ? picture : std::string());
            v->close();
            QVERIFY(!item->isChecked() && !run.ctx.windows.IsFormVisible(form::Viewer));
            QVERIFY(run.store.read("Viewer", "WindowWidth").has_value());
        }
    }
};

LORVANE_QTEST(ViewerWindowTest);

}  // namespace lorvane::testing

#include "viewer_window_test.moc"
