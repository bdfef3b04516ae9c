#include "dialogs/about_dialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>

#include "engine/revision.h"
#include "engine/settings.h"
#include "engine/version.h"
#include "gui/user_interface.h"

namespace lorvane {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLabel* link(QWidget* parent, const char* name, const QString& address) {
    QLabel* l = label(parent, name, QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setFocusPolicy(Qt::StrongFocus);
    return l;
}

// The picture beside the links: a letter with the program's name tag tied to it,
// in the application icon's colours. Painted at the screen's density.
QPixmap letterWithTag(qreal dpr) {
    const int side = 64;
    QPixmap pixmap(QSize(side, side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The envelope and its flap.
    const QRectF envelope(4, 14, 50, 34);
    p.setPen(QPen(QColor(0x1d, 0x55, 0x63), 2));
    p.setBrush(QColor(0xf4, 0xf8, 0xfa));
    p.drawRoundedRect(envelope, 3, 3);
    p.drawPolyline(QPolygonF({envelope.topLeft() + QPointF(2, 2), QPointF(envelope.center().x(), 34),
                              envelope.topRight() + QPointF(-2, 2)}));
    // The tag, its string and its braces.
    QPainterPath tag;
    tag.moveTo(34, 38);
    tag.lineTo(58, 38);
    tag.lineTo(58, 58);
    tag.lineTo(34, 58);
    tag.lineTo(26, 48);
    tag.closeSubpath();
    p.setPen(QPen(QColor(0xb8, 0x76, 0x0c), 1.5));
    p.setBrush(QColor(0xff, 0xc8, 0x40));
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(33, 48), 2.2, 2.2);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(18, 30, 16, 20), 90 * 16, 120 * 16);
    QFont font = p.font();
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x7a, 0x4a, 0x05));
    p.drawText(QRectF(36, 38, 22, 20), Qt::AlignCenter, QStringLiteral("{ }"));
    return pixmap;
}

}  // namespace

AboutInfo AboutInfo::OfThisBuild() {
    return {text(kProductTitle), kVersionMajor,
            kVersionMinor,       text(kVersionText) + QStringLiteral(" (") + text(kCommit) + QLatin1Char(')'),
            text(kCompanyName),  text(kLegalNotice),
            text(kWebsite),      text(kMailAddress)};
}

QString AboutInfo::Name() const { return productTitle + QStringLiteral(" %1.%2").arg(major).arg(minor); }

QString AboutDialog::MailSubject() const { return info_.Name() + QStringLiteral(" Build ") + info_.revision; }

AboutDialog::AboutDialog(UserInterface& ui, AboutInfo info, QWidget* parent)
    : QDialog(parent), ui_(ui), info_(std::move(info)) {
    setWindowTitle(QStringLiteral("About ") + info_.productTitle);
    // The notice usually ends with the maker's name, which has a line of its own above it.
    QString notice = info_.legalNotice;
    if (notice.endsWith(info_.companyName)) {
        notice.chop(info_.companyName.size());
        while (!notice.isEmpty() && notice.back().isSpace()) notice.chop(1);
    }

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    auto* stamp = label(this, "imgStamp", {});
    stamp->setPixmap(
        QIcon(QStringLiteral(":/about/128x128/apps/lorvane-manager.png")).pixmap(QSize(64, 64), devicePixelRatioF()));
    grid->addWidget(stamp, 0, 0, 4, 1, Qt::AlignTop);
    QLabel* name = label(this, "lblName", info_.Name());
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    name->setFont(big);
    grid->addWidget(name, 0, 1, 1, 3);
    grid->addWidget(label(this, "lblRevision", QStringLiteral("Build ") + info_.revision), 1, 1, 1, 3);
    grid->addWidget(label(this, "lblCompanyName", info_.companyName), 2, 1, 1, 3);
    grid->addWidget(label(this, "lblLegalNotice", notice), 3, 1, 1, 3);
    grid->setRowMinimumHeight(4, 12);

    auto* letter = label(this, "imgQuarnel", {});
    letter->setPixmap(letterWithTag(devicePixelRatioF()));
    grid->addWidget(letter, 5, 0, 4, 1, Qt::AlignTop);
    QLabel* web = link(this, "lblLinkWeb", info_.website);
    QLabel* mail = link(this, "lblLinkMail", info_.mailAddress);
    connect(web, &QLabel::linkActivated, this, &AboutDialog::OpenWeb);
    connect(mail, &QLabel::linkActivated, this, &AboutDialog::OpenMail);
    // Each link reads as one sentence with the labels around it.
    auto sentence = [this, grid](int row, QLabel* before, QLabel* link, QLabel* after, QLabel* nextLine) {
        auto* line = new QHBoxLayout;
        line->setSpacing(fontMetrics().horizontalAdvance(QLatin1Char(' ')));
        line->addWidget(before);
        line->addWidget(link);
        line->addWidget(after);
        line->addStretch();
        grid->addLayout(line, row, 1, 1, 3);
        grid->addWidget(nextLine, row + 1, 1, 1, 3);
    };
    const QString toGet = QStringLiteral("to get");
    sentence(5, label(this, "lblVisit", QStringLiteral("Visit us at")), web, label(this, "lblToGetUpdates", toGet),
             label(this, "lblUpdates", QStringLiteral("updates and information about other products.")));
    sentence(7, label(this, "lblWrite", QStringLiteral("Write to us at")), mail, label(this, "lblToGetSupport", toGet),
             label(this, "lblSupport", QStringLiteral("support or give feedback.")));
    grid->setColumnStretch(3, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->setRowMinimumHeight(9, 8);
    grid->addWidget(ok, 10, 0, 1, 4, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::OpenWeb() {
    if (!ui_.OpenWithDesktop(QUrl(info_.website)))
        ui_.ShowMessage(this, QStringLiteral("Unable to open ") + info_.website + QLatin1Char('.'),
                        QStringLiteral("Launch Web"), MessageIcon::Exclamation);
}

void AboutDialog::OpenMail() {
    QUrl url(QStringLiteral("mailto:") + info_.mailAddress);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), MailSubject());
    url.setQuery(query);
    if (!ui_.OpenWithDesktop(url))
        ui_.ShowMessage(this, QStringLiteral("Unable to open email client."), QStringLiteral("Launch Email"),
                        MessageIcon::Exclamation);
}

}  // namespace lorvane
