// The Viewer: fitting and centring, silence for what is not a picture, Exif
// orientation, decoding at the size shown, the read-ahead, and the Editor's View/Viewer.
#include <QBuffer>
#include <QDir>
#include <QPainter>
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

// A picture, left half red and right half blue, with an Exif orientation when not 0.
std::string picture(QSize size, int orientation = 0, const char* format = "JPG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    if (orientation == 0) return bytes.toStdString();
    // APP1: "Exif", a big-endian TIFF header, one IFD entry: Orientation, a SHORT.
    std::string app1(
        "\xFF\xE1\0\x22"
        "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0",
        36);
    app1[29] = static_cast<char>(orientation);
    return bytes.toStdString().insert(2, app1);
}

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
        Run() { RegisterWindows(ctx); }
        ~Run() { ctx.windows.destroyAll(); }
        ViewerWindow* viewer(QSize size) {
            auto* v = static_cast<ViewerWindow*>(ctx.windows.show(form::Viewer));
            v->resize(size);
            return v;
        }
    };

private slots:
    // Fitted with its proportions, centred the other way, small pictures enlarged; again on every resize.
    void fitsAndCentres() {
        Run run;
        for (auto [size, window, fitted, resized, refitted] :
             {std::tuple{QSize(200, 100), QSize(300, 300), QRect(0, 75, 300, 150), QSize(300, 100),
                         QRect(50, 0, 200, 100)},
              {QSize(100, 200), QSize(400, 200), QRect(150, 0, 100, 200), QSize(100, 400), QRect(0, 100, 100, 200)},
              {QSize(20, 10), QSize(300, 300), QRect(0, 75, 300, 150), QSize(600, 300), QRect(0, 0, 600, 300)},
              {QSize(30, 30), QSize(400, 200), QRect(100, 0, 200, 200), QSize(200, 400), QRect(0, 100, 200, 200)}}) {
            ViewerWindow* v = run.viewer(window);
            v->ShowPicture(file("p.jpg", picture(size)));
            QCOMPARE(v->Image()->geometry(), fitted);
            QVERIFY(v->Image()->isVisible());
            v->resize(resized);
            QTRY_COMPARE(v->Image()->geometry(), refitted);
        }
    }

    // What is not a picture leaves the Viewer empty without a word; a later picture shows,
    // also under a name that is not UTF-8.
    void emptyForWhatIsNotAPicture() {
        Run run;
        ViewerWindow* v = run.viewer(QSize(300, 300));
        for (auto [name, content, shown] : {std::tuple{"notes.txt", "just some text", false},
                                            {"good.png", "png", true},
                                            {"fake.jpg", "\xFF\xD8 not really", false},
                                            {"missing.jpg", "", false},
                                            {"", "", false},
                                            {"\xE9t\xE9.png", "png", true}}) {
            const std::string p = *name ? path(name) : std::string();
            if (*content) writeBytes(p, std::string_view(content) == "png" ? picture({40, 20}, 0, "PNG") : content);
            v->ShowPicture(p);
            QCOMPARE(v->Image()->isVisible(), shown);
            QCOMPARE(v->Path(), shown ? p : std::string());
            QCOMPARE(v->Natural(), shown ? QSize(40, 20) : QSize());
        }
        QVERIFY(run.ui.messages.empty());
        std::remove(path("\xE9t\xE9.png").c_str());  // QTemporaryDir cannot remove a name it cannot decode
    }

    // Upright by the Exif orientation, decoded no larger than shown, never larger than it is.
    void decodesUprightAtTheSizeShown() {
        auto red = [](const QImage& i, int x, int y) { return qRed(i.pixel(x, y)) > 180 && qBlue(i.pixel(x, y)) < 80; };
        for (auto [size, orientation, bound, decoded, topLeftRed, bottomLeftRed] :
             {std::tuple{QSize(40, 20), 1, QSize(), QSize(40, 20), true, true},
              {QSize(40, 20), 3, QSize(), QSize(40, 20), false, false},
              {QSize(40, 20), 6, QSize(), QSize(20, 40), true, false},
              {QSize(40, 20), 8, QSize(), QSize(20, 40), false, true},
              {QSize(2000, 1000), 0, QSize(300, 300), QSize(300, 150), true, true},
              {QSize(2000, 1000), 6, QSize(300, 300), QSize(150, 300), true, false},
              {QSize(200, 100), 0, QSize(300, 300), QSize(200, 100), true, true}}) {
            const DecodedPicture p = DecodePicture(file("o.jpg", picture(size, orientation)), bound);
            QCOMPARE(p.image.size(), decoded);
            QCOMPARE(p.natural, orientation >= 5 ? size.transposed() : size);
            QCOMPARE(red(p.image, 2, 2), topLeftRed);
            QCOMPARE(red(p.image, 2, decoded.height() - 3), bottomLeftRed);
        }
        // A decoding no longer wanted gives nothing, read whole (a JPEG) or not.
        const std::atomic<bool> dropped{true};
        for (const char* format : {"JPEG", "PNG"})
            QVERIFY(DecodePicture(file("d.img", picture({200, 100}, 0, format)), QSize(300, 300), &dropped).isNull());
    }

    // A camera-sized JPEG is shown coarse at once, then sharp in the same place, also when shown
    // again or the window grew meanwhile; another file, or none, shown before the sharp one arrives stays.
    void showsCoarseThenSharp() {
        Run run;
        ViewerWindow* v = run.viewer(QSize(1000, 600));
        const std::string big = file("big.jpg", picture({4800, 3600}));
        for (auto [then, grown, decoded, placed] :
             {std::tuple{big, QSize(1000, 600), QSize(800, 600), QRect(100, 0, 800, 600)},
              {big, QSize(1400, 900), QSize(1200, 900), QRect(100, 0, 1200, 900)},
              {file("s.png", picture({40, 20}, 0, "PNG")), QSize(1000, 600), QSize(40, 20), QRect(0, 50, 1000, 500)},
              {std::string(), QSize(1000, 600), QSize(0, 0), QRect(100, 0, 800, 600)}}) {
            v->resize(1000, 600);
            v->ShowPicture({});
            v->ShowPicture(big);
            QCOMPARE(v->Decoded(), QSize(600, 450));
            QCOMPARE(v->Image()->geometry(), QRect(100, 0, 800, 600));
            v->ShowPicture(then);
            v->resize(grown);
            QTest::qWait(300);
            QTRY_COMPARE(v->Decoded(), decoded);
            QCOMPARE(v->Path(), then);
            QCOMPARE(v->Image()->geometry(), placed);
        }
    }

    // The next picture is read ahead; the one shown is kept until its file changes.
    void keepsAndReadsAhead() {
        PictureCache cache;
        const std::string a = file("a.jpg", picture({64, 32})), b = file("b.jpg", picture({32, 64}));
        using S = PictureCache::Source;
        for (auto [ahead, take, bound, rewrite, source, size] :
             {std::tuple{"", a, QSize(100, 100), false, S::Decoded, QSize(64, 32)},
              {"", a, QSize(50, 50), false, S::Kept, QSize(64, 32)},
              {"b", b, QSize(100, 100), false, S::ReadAhead, QSize(32, 64)},
              {"", b, QSize(100, 100), true, S::Decoded, QSize(48, 64)},
              {"a", b, QSize(100, 100), false, S::Kept, QSize(48, 64)},
              {"", a, QSize(100, 100), false, S::ReadAhead, QSize(64, 32)}}) {
            if (rewrite) writeBytes(b, picture({48, 64}));
            if (*ahead) cache.readAhead(path(std::string(ahead) + ".jpg"), bound);
            QCOMPARE(cache.take(take, bound).image.size(), size);
            QCOMPARE(cache.lastSource(), source);
        }
    }

    // The Editor's View/Viewer opens it on the Editor's file, or empty for a name
    // without a file; closing it empties it, saves its place and unchecks the menu.
    void followsTheEditorAndCloses() {
        Run run;
        auto* editor = static_cast<EditorWindow*>(run.ctx.windows.show(form::Editor));
        QAction* item = editor->findChild<QAction*>(QStringLiteral("mnuViewer"));
        const std::string shown = file("{SU=Ann}.png", picture({40, 20}, 0, "PNG"));
        for (const std::string name : {"{SU=Ann}.png", ""}) {
            bool handled = false;
            editor->InitializeFilename(shown.substr(0, shown.rfind('/')), name, handled);
            item->trigger();
            auto* v = static_cast<ViewerWindow*>(run.ctx.windows.loaded(form::Viewer));
            QVERIFY(v && v->isVisible() && item->isChecked());
            QCOMPARE(v->Path(), name.empty() ? std::string() : shown);
            v->close();
            QVERIFY(!item->isChecked() && !run.ctx.windows.IsFormVisible(form::Viewer));
            QVERIFY(run.store.read("Viewer", "WindowWidth").has_value());
        }
    }
};

LORVANE_QTEST(ViewerWindowTest);

}  // namespace lorvane::testing

#include "viewer_window_test.moc"
