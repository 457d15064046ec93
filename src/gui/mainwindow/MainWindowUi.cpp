#include "gui/mainwindow/MainWindowUi.h"

#include "gui/widgets/Artwork.h"
#include "gui/widgets/ClickableLabel.h"

#include <QProgressBar>

namespace {

const QString LinkStyle = QStringLiteral("color: palette(link); text-decoration: underline;");
const QString MenuLinkStyle = QStringLiteral("color: white; text-decoration: underline;");

} // namespace

void MainWindowUi::setupUi(QWidget* window)
{
    const auto label = [window](const char* name, const QString& text) {
        auto* l = new QLabel(text, window);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    const auto link = [window](const char* name, const QString& text) {
        auto* l = new ClickableLabel(text, window);
        l->setObjectName(QString::fromLatin1(name));
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };
    const qreal ratio = window->devicePixelRatioF();
    picture = Artwork::windowPicture(ratio);
    for (int i = 1; i <= 4; ++i)
        buttonImages.append(Artwork::buttonImage(i, ratio));

    // Dark text on the light picture, whatever the desktop's colour scheme.
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(Artwork::WindowBackColor));
    colours.setColor(QPalette::WindowText, QColor(0x1d, 0x2b, 0x33));
    colours.setColor(QPalette::Link, QColor(0x1f, 0x5f, 0x74));
    window->setPalette(colours);

    statusLabel = label("Label1", QString());
    statusLabel->setWordWrap(true);
    dropHint = label("Label2", QStringLiteral("Drop RAR archives on this window to extract them."));
    menuLink = link("Label3", QStringLiteral("Click me for menu"));
    menuLink->setStyleSheet(MenuLinkStyle);
    fileLabel = label("Label4", QString());
    fileLabel->setWordWrap(true);
    openFolderLink = link("Label5", QStringLiteral("Click to explore last used extract folder"));
    openFolderAndQuitLink = link("Label6", QStringLiteral("Click to explore last used extract folder and exit"));
    openFolderLink->setStyleSheet(LinkStyle);
    openFolderAndQuitLink->setStyleSheet(LinkStyle);
    closeButton = link("Picture1", QString());
    closeButton->setPixmap(buttonImages.at(0));
    closeButton->setToolTip(QStringLiteral("Close"));
    trayButton = link("Picture2", QString());
    trayButton->setPixmap(buttonImages.at(2));
    trayButton->setToolTip(QStringLiteral("Send to the notification area"));
    progressBar = new QProgressBar(window);
    progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    placeControls(window);
}

// The controls sit on the picture's header band and content panel.
void MainWindowUi::placeControls(QWidget* window)
{
    window->setFixedSize(Artwork::WindowPictureSize);
    menuLink->setGeometry(110, 36, 160, 24);
    trayButton->setGeometry(QRect(QPoint(362, 36), Artwork::ButtonSize));
    closeButton->setGeometry(QRect(QPoint(394, 36), Artwork::ButtonSize));
    dropHint->setGeometry(110, 76, 306, 18);
    statusLabel->setGeometry(24, 100, 392, 40);
    fileLabel->setGeometry(24, 146, 392, 48);
    progressBar->setGeometry(24, 200, 392, 16);
    openFolderLink->setGeometry(24, 226, 392, 18);
    openFolderAndQuitLink->setGeometry(24, 248, 392, 18);
}
