#include "gui/dialogs/CommonDialogs.h"

#include "Version.h"
#include "gui/dialogs/FileDialogText.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace {

const QString OpenTitle = QStringLiteral("Select File(s) To Open");
const QString SaveTitle = QStringLiteral("Save File");
const QString FolderTitle = QStringLiteral("Select Folder");
const QString ErrorTitle = QStringLiteral("DIALOG ERROR");

struct ErrorText
{
    qint32 code;
    const char* text;
};

constexpr ErrorText ErrorTexts[] = {
    {0x0000, "General Codes Failure"},
    {0x0001, "Structure Size Error"},
    {0x0002, "Initialization Failure"},
    {0x0003, "No Template"},
    {0x0004, "No Instance Handle"},
    {0x0005, "Load String Failure"},
    {0x0006, "Find Resource Failure"},
    {0x0007, "Load Resource Failure"},
    {0x0008, "Lock Resource Failure"},
    {0x0009, "Memory Allocation Failure"},
    {0x000A, "Memory Lock Failure"},
    {0x000B, "No Hook"},
    {0x000C, "Register Message Failure"},
    {0x3000, "File Name Codes Error"},
    {0x3001, "Subclassing Failure"},
    {0x3002, "Invalid File Name"},
    {CommonDialogs::BufferTooSmallError, "File Name/Title Buffer Too Small"},
    {0xFFFF, "Dialog Failure"},
};

constexpr qint32 BoldFontType = 0x100;
constexpr qint32 ItalicFontType = 0x200;
constexpr qint32 RegularFontType = 0x400;
constexpr double ThousandthsPerInch = 1000.0;

QList<QRgb> defaultCustomColors()
{
    QList<QRgb> colors{qRgb(0, 0, 0),     qRgb(255, 255, 255), qRgb(255, 0, 0),   qRgb(0, 255, 0),
                       qRgb(255, 255, 0), qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255)};
    while (colors.size() < QColorDialog::customCount())
        colors.append(qRgb(255, 255, 255));
    return colors;
}

qint32 colorValue(const QColor& color)
{
    return static_cast<qint32>(color.rgb() & 0xFFFFFF);
}

// The 1-based position of the filter the user left selected.
qint32 chosenFilter(const QFileDialog& dialog, qint32 previous)
{
    const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return index < 0 ? previous : static_cast<qint32>(index + 1);
}

// Where the dialogs start while nothing is remembered: the user's files are
// there, while the program's own folder is /usr/bin once installed.
QString homeFolder()
{
    const QString home = QDir::homePath();
    return home.endsWith(u'/') ? home : home + u'/';
}

qint16 thousandths(qreal inches)
{
    return static_cast<qint16>(qRound(inches * ThousandthsPerInch));
}

} // namespace

CommonDialogs::CommonDialogs()
    : m_iniPath(DialogsIni::iniPath())
    , m_persisted(DialogsIni::read(m_iniPath, homeFolder()))
    , m_customColors(defaultCustomColors())
    , m_filter(FileDialogText::defaultFilter())
{}

CommonDialogs::~CommonDialogs()
{
    // A settings folder we cannot write to only costs the remembered folders.
    if (m_persistenceEnabled)
        DialogsIni::write(m_iniPath, m_persisted);
}

void CommonDialogs::setFilter(const QString& value)
{
    m_filter = FileDialogText::storedFilter(value);
}

QString CommonDialogs::describeError(qint32 code)
{
    const auto found = std::find_if(std::begin(ErrorTexts), std::end(ErrorTexts),
                                    [code](const ErrorText& entry) { return entry.code == code; });
    return QString::fromLatin1(found == std::end(ErrorTexts) ? "Unknown Error" : found->text);
}

void CommonDialogs::reportExtendedError(QWidget* owner, qint32 code)
{
    m_errorCode = code;
    m_errorText = describeError(code);
    if (m_errorMessagesEnabled && code != CancelledError)
        QMessageBox(QMessageBox::Critical, ErrorTitle, m_errorText, QMessageBox::Ok, owner).exec();
}

void CommonDialogs::prepareFileDialog(QFileDialog& dialog, const QString& startFolder, qint32 filterIndex) const
{
    // The desktop's own dialog, from Qt's platform theme or the XDG portal,
    // wherever there is one; Qt's widget dialog elsewhere.
    dialog.setDirectory(startFolder);
    const QStringList filters = FileDialogText::nameFilters(m_filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(filterIndex - 1));
}

QString CommonDialogs::getOpenFileName(QWidget* owner)
{
    const bool multi = m_allowMultipleFileSelect;
    const qint32 bufferLength = multi ? std::max(m_maxFileNameBuffer, MinMultiSelectBuffer) : m_maxFileNameBuffer;
    m_selectedFileCount = 0;

    QFileDialog dialog(owner, m_title.isEmpty() ? OpenTitle : m_title);
    prepareFileDialog(dialog, initialDir().isEmpty() ? m_persisted.lastOpenDir : initialDir(),
                      m_persisted.lastOpenFilter);
    dialog.setFileMode(multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);

    QString result;
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(owner, CancelledError);
    } else {
        const QStringList files = dialog.selectedFiles();
        const FileDialogText::OpenSelection selection =
            multi ? FileDialogText::multiSelection(files) : FileDialogText::singleSelection(files.value(0));
        if (selection.bufferLength > bufferLength)
            reportExtendedError(owner, BufferTooSmallError);
        else
            result = takeOpenSelection(selection, chosenFilter(dialog, m_persisted.lastOpenFilter));
    }
    setInitialDir(m_persisted.lastOpenDir);
    return result;
}

QString CommonDialogs::takeOpenSelection(const FileDialogText::OpenSelection& selection, qint32 filter)
{
    m_selectedFileCount = selection.fileCount;
    m_persisted.lastOpenDir = selection.folder;
    m_persisted.lastOpenFile = selection.file;
    m_persisted.lastOpenFilter = filter;
    if (selection.fileCount >= 2)
        m_files = selection.files;
    return selection.result;
}

QString CommonDialogs::selectedFile(int index) const
{
    return m_files.value(index);
}

bool CommonDialogs::confirmCreate(QWidget* owner, const QString& path) const
{
    const QString text = path + QStringLiteral("\nThis file does not exist.\nDo you want to create the file?");
    return QMessageBox::question(owner, m_title.isEmpty() ? SaveTitle : m_title, text) == QMessageBox::Yes;
}

QString CommonDialogs::getSaveFileName()
{
    QFileDialog dialog(m_owner, m_title.isEmpty() ? SaveTitle : m_title);
    prepareFileDialog(dialog, initialDir().isEmpty() ? m_persisted.lastSaveDir : initialDir(),
                      m_persisted.lastSaveFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The callers decide about existing files themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);

    QString result;
    while (true) {
        if (dialog.exec() != QDialog::Accepted) {
            reportExtendedError(m_owner, CancelledError);
            break;
        }
        const FileDialogText::OpenSelection selection =
            FileDialogText::singleSelection(dialog.selectedFiles().value(0));
        if (selection.bufferLength > m_maxFileNameBuffer) {
            reportExtendedError(m_owner, BufferTooSmallError);
            break;
        }
        // Declining the new file goes back to the dialog, as the question implies.
        if (m_createPrompt && !QFileInfo::exists(selection.result) && !confirmCreate(&dialog, selection.result))
            continue;
        result = selection.result;
        m_persisted.lastSaveDir = selection.folder;
        m_persisted.lastSaveFile = selection.file;
        m_persisted.lastSaveFilter = chosenFilter(dialog, m_persisted.lastSaveFilter);
        break;
    }
    setInitialDir(m_persisted.lastSaveDir);
    return result;
}

qint32 CommonDialogs::chooseColor(qint32 initialColor)
{
    for (int i = 0; i < m_customColors.size(); ++i)
        QColorDialog::setCustomColor(i, QColor::fromRgb(m_customColors.at(i)));
    QColorDialog dialog(QColor::fromRgb(static_cast<QRgb>(initialColor)), m_owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    // Custom colours the user defined stay for this instance's next colour dialog.
    for (int i = 0; i < m_customColors.size(); ++i)
        m_customColors[i] = QColorDialog::customColor(i).rgb();
    if (!chosen) {
        reportExtendedError(m_owner, CancelledError);
        return -1;
    }
    m_color = colorValue(dialog.selectedColor());
    return m_color;
}

void CommonDialogs::takeFont(const QFont& font)
{
    // A font sized in pixels has no point size; it counts as 10 points.
    m_fontSize = font.pointSize() < 1 ? 10 : font.pointSize();
    m_fontFaceName = font.family();
    m_fontColor = 0;
    m_isFontBold = font.bold();
    m_isFontItalic = font.italic();
    m_fontType = (m_isFontBold ? BoldFontType : 0) | (m_isFontItalic ? ItalicFontType : 0);
    if (m_fontType == 0)
        m_fontType = RegularFontType;
    // Italic names the style even for a bold italic face.
    if (m_isFontItalic)
        m_fontStyle = QStringLiteral("Italic");
    else if (m_isFontBold)
        m_fontStyle = QStringLiteral("Bold");
    else
        m_fontStyle = QStringLiteral("Regular");
}

bool CommonDialogs::chooseFont()
{
    QFontDialog dialog(QFont(), m_owner);
    dialog.setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_owner, CancelledError);
        return false;
    }
    takeFont(dialog.selectedFont());
    return true;
}

bool CommonDialogs::showPrintDialog()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, m_owner);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_owner, CancelledError);
        return false;
    }
    return true;
}

QPageLayout CommonDialogs::pageLayout() const
{
    const QPageSize paper(QSizeF(m_paperWidth, m_paperHeight) / ThousandthsPerInch, QPageSize::Inch);
    const QMarginsF margins(m_leftMargin, m_topMargin, m_rightMargin, m_bottomMargin);
    const QMarginsF minimum(m_minMarginLeft, m_minMarginTop, m_minMarginRight, m_minMarginBottom);
    return QPageLayout(paper, QPageLayout::Portrait, margins / ThousandthsPerInch, QPageLayout::Inch,
                       minimum / ThousandthsPerInch);
}

void CommonDialogs::takePageLayout(const QPageLayout& layout)
{
    // The dialog may have switched to its own unit; read everything back in inches.
    QPageLayout inches = layout;
    inches.setUnits(QPageLayout::Inch);
    const QSizeF paper = inches.fullRect().size();
    m_paperWidth = qRound(paper.width() * ThousandthsPerInch);
    m_paperHeight = qRound(paper.height() * ThousandthsPerInch);
    const QMarginsF margins = inches.margins();
    m_leftMargin = thousandths(margins.left());
    m_topMargin = thousandths(margins.top());
    m_rightMargin = thousandths(margins.right());
    m_bottomMargin = thousandths(margins.bottom());
    const QMarginsF minimum = inches.minimumMargins();
    m_minMarginLeft = thousandths(minimum.left());
    m_minMarginTop = thousandths(minimum.top());
    m_minMarginRight = thousandths(minimum.right());
    m_minMarginBottom = thousandths(minimum.bottom());
}

bool CommonDialogs::showPageSetupDialog()
{
    QPrinter printer;
    printer.setPageLayout(pageLayout());
    QPageSetupDialog dialog(&printer, m_owner);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_owner, CancelledError);
        return false;
    }
    takePageLayout(printer.pageLayout());
    return true;
}

QString CommonDialogs::browseForFolder(QWidget* owner)
{
    return QFileDialog::getExistingDirectory(owner, FolderTitle, QDir::homePath(), QFileDialog::ShowDirsOnly);
}

qint32 CommonDialogs::showAbout()
{
    const QString nameAndVersion = QString::fromUtf8(Version::ProductName) + u' ' + QString::number(Version::Major) +
                                   u'.' + QString::number(Version::Minor) + u'.' + QString::number(Version::Revision);
    const QString notice = QStringLiteral("Copyright © ") + QString::fromUtf8(Version::Publisher);
    QMessageBox::about(m_owner, nameAndVersion, nameAndVersion + u'\n' + notice);
    // The box has no result of its own; report success as the shell did.
    return 1;
}
