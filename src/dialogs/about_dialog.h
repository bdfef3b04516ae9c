// frmAbout: the product, its version and build, the maker, and two links that
// open the maker's web page and a mail message to the maker through the desktop.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace lorvane {

class UserInterface;

// What the dialog shows: this build's version information, or a test's.
struct AboutInfo {
    QString productTitle;
    int major = 0, minor = 0;
    QString revision;  // the version and the commit of the build
    QString companyName, legalNotice;
    QString website, mailAddress;

    static AboutInfo OfThisBuild();
    // The title with major and minor version, as the settings store names the program.
    QString Name() const;
};

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(UserInterface& ui, AboutInfo info = AboutInfo::OfThisBuild(), QWidget* parent = nullptr);

    // The subject of the mail message the mail link starts.
    QString MailSubject() const;

private:
    void OpenWeb();
    void OpenMail();

    UserInterface& ui_;
    AboutInfo info_;
};

}  // namespace lorvane
