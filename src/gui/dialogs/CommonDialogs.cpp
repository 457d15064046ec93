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
    qint32 lngCode;
    const char* strText;
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
    {CommonDialogs::FnErrBufferTooSmall, "File Name/Title Buffer Too Small"},
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
qint32 chosenFilter(const QFileDialog& dialog, qint32 lngPrevious)
{
    const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return index < 0 ? lngPrevious : static_cast<qint32>(index + 1);
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
    : m_strIniPath(DialogsIni::IniPath())
    , m_persisted(DialogsIni::Read(m_strIniPath, homeFolder()))
    , m_customColors(defaultCustomColors())
    , m_strFilter(FileDialogText::DefaultFilter())
{}

CommonDialogs::~CommonDialogs()
{
    // A settings folder we cannot write to only costs the remembered folders.
    if (m_blnUsePersistence)
        DialogsIni::Write(m_strIniPath, m_persisted);
}

void CommonDialogs::setStrFilter(const QString& value)
{
    m_strFilter = FileDialogText::StoredFilter(value);
}

QString CommonDialogs::DialogErrorText(qint32 lngCode)
{
    const auto found = std::find_if(std::begin(ErrorTexts), std::end(ErrorTexts),
                                    [lngCode](const ErrorText& entry) { return entry.lngCode == lngCode; });
    return QString::fromLatin1(found == std::end(ErrorTexts) ? "Unknown Error" : found->strText);
}

void CommonDialogs::reportExtendedError(QWidget* owner, qint32 lngCode)
{
    m_lngDialogError = lngCode;
    m_strDialogError = DialogErrorText(lngCode);
    if (m_blnShowErrorMessages && lngCode != CdErrGeneralCodes)
        QMessageBox(QMessageBox::Critical, ErrorTitle, m_strDialogError, QMessageBox::Ok, owner).exec();
}

void CommonDialogs::prepareFileDialog(QFileDialog& dialog, const QString& strStartFolder, qint32 lngFilterIndex) const
{
    // The desktop's own dialog, from Qt's platform theme or the XDG portal,
    // wherever there is one; Qt's widget dialog elsewhere.
    dialog.setDirectory(strStartFolder);
    const QStringList filters = FileDialogText::NameFilters(m_strFilter);
    dialog.setNameFilters(filters);
    if (lngFilterIndex >= 1 && lngFilterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(lngFilterIndex - 1));
}

QString CommonDialogs::strGetOpenFileName(QWidget* ownerfrm, const QString&)
{
    const bool multi = m_blnAllowMultipleFileSelect;
    const qint32 bufferLength = multi ? std::max(m_lngMaxFileNameBuffer, MinMultiSelectBuffer) : m_lngMaxFileNameBuffer;
    m_lngNumFilesSelected = 0;

    QFileDialog dialog(ownerfrm, m_strTitle.isEmpty() ? OpenTitle : m_strTitle);
    prepareFileDialog(dialog, strInitialDir().isEmpty() ? m_persisted.LastOpenDir : strInitialDir(),
                      m_persisted.LastOpenFilter);
    dialog.setFileMode(multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);

    QString result;
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(ownerfrm, CdErrGeneralCodes);
    } else {
        const QStringList files = dialog.selectedFiles();
        const FileDialogText::OpenSelection selection =
            multi ? FileDialogText::MultiSelection(files) : FileDialogText::SingleSelection(files.value(0));
        if (selection.lngBufferLength > bufferLength)
            reportExtendedError(ownerfrm, FnErrBufferTooSmall);
        else
            result = takeOpenSelection(selection, chosenFilter(dialog, m_persisted.LastOpenFilter));
    }
    setStrInitialDir(m_persisted.LastOpenDir);
    return result;
}

QString CommonDialogs::takeOpenSelection(const FileDialogText::OpenSelection& selection, qint32 lngFilter)
{
    m_lngNumFilesSelected = selection.lngNumFilesSelected;
    m_persisted.LastOpenDir = selection.strFolder;
    m_persisted.LastOpenFile = selection.strFile;
    m_persisted.LastOpenFilter = lngFilter;
    if (selection.lngNumFilesSelected >= 2)
        m_arrstrFiles = selection.arrstrFiles;
    return selection.strResult;
}

QString CommonDialogs::fstrReturnSingleFileName(qint16 intFile) const
{
    return m_arrstrFiles.value(intFile);
}

bool CommonDialogs::confirmCreate(QWidget* owner, const QString& strPath) const
{
    const QString text = strPath + QStringLiteral("\nThis file does not exist.\nDo you want to create the file?");
    return QMessageBox::question(owner, m_strTitle.isEmpty() ? SaveTitle : m_strTitle, text) == QMessageBox::Yes;
}

QString CommonDialogs::strGetSaveFileName(const QString&)
{
    QFileDialog dialog(m_lngHWnd, m_strTitle.isEmpty() ? SaveTitle : m_strTitle);
    prepareFileDialog(dialog, strInitialDir().isEmpty() ? m_persisted.LastSaveDir : strInitialDir(),
                      m_persisted.LastSaveFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The callers decide about existing files themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);

    QString result;
    while (true) {
        if (dialog.exec() != QDialog::Accepted) {
            reportExtendedError(m_lngHWnd, CdErrGeneralCodes);
            break;
        }
        const FileDialogText::OpenSelection selection =
            FileDialogText::SingleSelection(dialog.selectedFiles().value(0));
        if (selection.lngBufferLength > m_lngMaxFileNameBuffer) {
            reportExtendedError(m_lngHWnd, FnErrBufferTooSmall);
            break;
        }
        // Declining the new file goes back to the dialog, as the question implies.
        if (m_blnCreatePrompt && !QFileInfo::exists(selection.strResult) &&
            !confirmCreate(&dialog, selection.strResult))
            continue;
        result = selection.strResult;
        m_persisted.LastSaveDir = selection.strFolder;
        m_persisted.LastSaveFile = selection.strFile;
        m_persisted.LastSaveFilter = chosenFilter(dialog, m_persisted.LastSaveFilter);
        break;
    }
    setStrInitialDir(m_persisted.LastSaveDir);
    return result;
}

qint32 CommonDialogs::lngChooseColor(qint32 lplngNewColor)
{
    for (int i = 0; i < m_customColors.size(); ++i)
        QColorDialog::setCustomColor(i, QColor::fromRgb(m_customColors.at(i)));
    QColorDialog dialog(QColor::fromRgb(static_cast<QRgb>(lplngNewColor)), m_lngHWnd);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    // Custom colours the user defined stay for this instance's next colour dialog.
    for (int i = 0; i < m_customColors.size(); ++i)
        m_customColors[i] = QColorDialog::customColor(i).rgb();
    if (!chosen) {
        reportExtendedError(m_lngHWnd, CdErrGeneralCodes);
        return -1;
    }
    m_lngColor = colorValue(dialog.selectedColor());
    return m_lngColor;
}

void CommonDialogs::takeFont(const QFont& font)
{
    // A font sized in pixels has no point size; it counts as 10 points.
    m_lngFontSize = font.pointSize() < 1 ? 10 : font.pointSize();
    m_strFontFaceName = font.family();
    m_lngFontColor = 0;
    m_blnIsFontBold = font.bold();
    m_blnIsFontItalic = font.italic();
    m_lngFontType = (m_blnIsFontBold ? BoldFontType : 0) | (m_blnIsFontItalic ? ItalicFontType : 0);
    if (m_lngFontType == 0)
        m_lngFontType = RegularFontType;
    // Italic names the style even for a bold italic face.
    if (m_blnIsFontItalic)
        m_strFontStyle = QStringLiteral("Italic");
    else if (m_blnIsFontBold)
        m_strFontStyle = QStringLiteral("Bold");
    else
        m_strFontStyle = QStringLiteral("Regular");
}

bool CommonDialogs::blnChooseFont()
{
    QFontDialog dialog(QFont(), m_lngHWnd);
    dialog.setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_lngHWnd, CdErrGeneralCodes);
        return false;
    }
    takeFont(dialog.selectedFont());
    return true;
}

bool CommonDialogs::blnPrintDialog()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, m_lngHWnd);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_lngHWnd, CdErrGeneralCodes);
        return false;
    }
    return true;
}

QPageLayout CommonDialogs::pageLayout() const
{
    const QPageSize paper(QSizeF(m_lngPaperWidth, m_lngPaperHeight) / ThousandthsPerInch, QPageSize::Inch);
    const QMarginsF margins(m_intLeftMargin, m_intTopMargin, m_intRightMargin, m_intBottomMargin);
    const QMarginsF minimum(m_intMinMarginLeft, m_intMinMarginTop, m_intMinMarginRight, m_intMinMarginBottom);
    return QPageLayout(paper, QPageLayout::Portrait, margins / ThousandthsPerInch, QPageLayout::Inch,
                       minimum / ThousandthsPerInch);
}

void CommonDialogs::takePageLayout(const QPageLayout& layout)
{
    // The dialog may have switched to its own unit; read everything back in inches.
    QPageLayout inches = layout;
    inches.setUnits(QPageLayout::Inch);
    const QSizeF paper = inches.fullRect().size();
    m_lngPaperWidth = qRound(paper.width() * ThousandthsPerInch);
    m_lngPaperHeight = qRound(paper.height() * ThousandthsPerInch);
    const QMarginsF margins = inches.margins();
    m_intLeftMargin = thousandths(margins.left());
    m_intTopMargin = thousandths(margins.top());
    m_intRightMargin = thousandths(margins.right());
    m_intBottomMargin = thousandths(margins.bottom());
    const QMarginsF minimum = inches.minimumMargins();
    m_intMinMarginLeft = thousandths(minimum.left());
    m_intMinMarginTop = thousandths(minimum.top());
    m_intMinMarginRight = thousandths(minimum.right());
    m_intMinMarginBottom = thousandths(minimum.bottom());
}

bool CommonDialogs::blnPageSetup()
{
    QPrinter printer;
    printer.setPageLayout(pageLayout());
    QPageSetupDialog dialog(&printer, m_lngHWnd);
    if (dialog.exec() != QDialog::Accepted) {
        reportExtendedError(m_lngHWnd, CdErrGeneralCodes);
        return false;
    }
    takePageLayout(printer.pageLayout());
    return true;
}

QString CommonDialogs::fstrBrowseForFolder(QWidget* lphWnd)
{
    return QFileDialog::getExistingDirectory(lphWnd, FolderTitle, QDir::homePath(), QFileDialog::ShowDirsOnly);
}

qint32 CommonDialogs::flngShowAbout()
{
    const QString title = QString::fromUtf8(Version::ProductName) + u' ' + QString::number(Version::Major) + u'.' +
                          QString::number(Version::Minor) + u'.' + QString::number(Version::Revision);
    const QString notice = QStringLiteral("Copyright © ") + QString::fromUtf8(Version::Publisher);
    QMessageBox::about(m_lngHWnd, title, title + u'\n' + notice);
    // The box has no result of its own; report success as the shell did.
    return 1;
}
