#pragma once

#include "gui/dialogs/DialogsIni.h"
#include "gui/dialogs/FileDialogText.h"

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

class QFileDialog;
class QFont;
class QPageLayout;
class QWidget;

// The common dialogs behind one object with plain properties: open (one file
// or several), save, colour, font, print, page setup, folder and About. The
// open and save dialogs' last folders, files and filter positions are read
// from the dialogs' INI file at creation and written back when the object is
// destroyed, so they carry over to the next instance and the next run.
//
// Colours are 0x00RRGGBB. Owners are windows; no owner means the desktop.
class CommonDialogs
{
public:
    // Extended error codes a dialog can leave in lngDialogError.
    static constexpr qint32 CdErrGeneralCodes = 0x0000; // the user cancelled
    static constexpr qint32 FnErrBufferTooSmall = 0x3003;
    static constexpr qint32 MinMultiSelectBuffer = 2048;

    CommonDialogs();
    ~CommonDialogs();
    CommonDialogs(const CommonDialogs&) = delete;
    CommonDialogs& operator=(const CommonDialogs&) = delete;

    // The chosen path, or "" when cancelled. With multi-select on, two files or
    // more come back as their names, NUL-separated: read them whole through
    // lngNumFilesSelected and fstrReturnSingleFileName. lpstrInitialDir is not
    // used; strInitialDir decides where the dialog starts.
    QString strGetOpenFileName(QWidget* ownerfrm, const QString& lpstrInitialDir = {});
    // Full path number intFile (from 0) of the last multi-select of two files
    // or more; "" past its end.
    QString fstrReturnSingleFileName(qint16 intFile) const;
    // The chosen path, or "" when cancelled; lpstrInitialDir is not used.
    QString strGetSaveFileName(const QString& lpstrInitialDir = {});
    // The chosen colour, or -1 when cancelled; starts at lplngNewColor (0: black).
    qint32 lngChooseColor(qint32 lplngNewColor = 0);
    bool blnChooseFont();
    bool blnPrintDialog();
    bool blnPageSetup();
    // The chosen folder without a trailing "/", or "" when cancelled.
    QString fstrBrowseForFolder(QWidget* lphWnd);
    qint32 flngShowAbout();

    // The text for an extended error code; "Unknown Error" for codes outside the table.
    static QString DialogErrorText(qint32 lngCode);

    bool blnShowErrorMessages() const { return m_blnShowErrorMessages; }
    void setBlnShowErrorMessages(bool value) { m_blnShowErrorMessages = value; }
    bool blnUsePersistence() const { return m_blnUsePersistence; }
    void setBlnUsePersistence(bool value) { m_blnUsePersistence = value; }
    // Owner of the save, colour, font, print, page-setup and About windows.
    QWidget* lngHWnd() const { return m_lngHWnd; }
    void setLngHWnd(QWidget* value) { m_lngHWnd = value; }
    // "Rar Files|*.rar": description and pattern pairs; see FileDialogText.
    void setStrFilter(const QString& value);
    QString strTitle() const { return m_strTitle; }
    void setStrTitle(const QString& value) { m_strTitle = value; }
    // Empty: the next dialog starts in the last open (or save) folder.
    QString strInitialDir() const { return m_persisted.InitialDir; }
    void setStrInitialDir(const QString& value) { m_persisted.InitialDir = value; }
    // Kept for callers that set it; the dialogs add no extension of their own.
    void setStrDefaultExt(const QString& value) { m_strDefaultExt = value; }
    bool blnAllowMultipleFileSelect() const { return m_blnAllowMultipleFileSelect; }
    void setBlnAllowMultipleFileSelect(bool value) { m_blnAllowMultipleFileSelect = value; }
    // Characters a selection may take, terminating NULs included; a longer
    // selection fails with FnErrBufferTooSmall. Multi-select allows at least 2048.
    qint32 lngMaxFileNameBuffer() const { return m_lngMaxFileNameBuffer; }
    void setLngMaxFileNameBuffer(qint32 value) { m_lngMaxFileNameBuffer = value; }
    bool blnCreatePrompt() const { return m_blnCreatePrompt; }
    void setBlnCreatePrompt(bool value) { m_blnCreatePrompt = value; }
    qint32 lngColor() const { return m_lngColor; }
    void setLngColor(qint32 value) { m_lngColor = value; }

    qint32 lngNumFilesSelected() const { return m_lngNumFilesSelected; }
    QString strLastOpenFolder() const { return m_persisted.LastOpenDir; }
    QString strLastOpenFile() const { return m_persisted.LastOpenFile; }
    qint32 lngLastOpenFilter() const { return m_persisted.LastOpenFilter; }
    QString strLastSaveFolder() const { return m_persisted.LastSaveDir; }
    QString strLastSaveFile() const { return m_persisted.LastSaveFile; }
    qint32 lngLastSaveFilter() const { return m_persisted.LastSaveFilter; }
    qint32 lngDialogError() const { return m_lngDialogError; }
    QString strDialogError() const { return m_strDialogError; }

    // The font dialog's last choice. The dialog offers no colour, so
    // lngFontColor stays black; lngFontType holds bold 0x100, italic 0x200 or
    // regular 0x400.
    qint32 lngFontSize() const { return m_lngFontSize; }
    QString strFontFaceName() const { return m_strFontFaceName; }
    qint32 lngFontColor() const { return m_lngFontColor; }
    QString strFontStyle() const { return m_strFontStyle; }
    bool blnIsFontBold() const { return m_blnIsFontBold; }
    bool blnIsFontItalic() const { return m_blnIsFontItalic; }
    qint32 lngFontType() const { return m_lngFontType; }

    // Page margins and paper size in thousandths of an inch.
    qint16 intLeftMargin() const { return m_intLeftMargin; }
    void setIntLeftMargin(qint16 value) { m_intLeftMargin = value; }
    qint16 intRightMargin() const { return m_intRightMargin; }
    void setIntRightMargin(qint16 value) { m_intRightMargin = value; }
    qint16 intTopMargin() const { return m_intTopMargin; }
    void setIntTopMargin(qint16 value) { m_intTopMargin = value; }
    qint16 intBottomMargin() const { return m_intBottomMargin; }
    void setIntBottomMargin(qint16 value) { m_intBottomMargin = value; }
    qint16 intMinMarginLeft() const { return m_intMinMarginLeft; }
    void setIntMinMarginLeft(qint16 value) { m_intMinMarginLeft = value; }
    qint16 intMinMarginRight() const { return m_intMinMarginRight; }
    void setIntMinMarginRight(qint16 value) { m_intMinMarginRight = value; }
    qint16 intMinMarginTop() const { return m_intMinMarginTop; }
    void setIntMinMarginTop(qint16 value) { m_intMinMarginTop = value; }
    qint16 intMinMarginBottom() const { return m_intMinMarginBottom; }
    void setIntMinMarginBottom(qint16 value) { m_intMinMarginBottom = value; }
    qint32 lngPaperWidth() const { return m_lngPaperWidth; }
    qint32 lngPaperHeight() const { return m_lngPaperHeight; }

private:
    // Records an accepted open dialog's selection; returns the dialog's result text.
    QString takeOpenSelection(const FileDialogText::OpenSelection& selection, qint32 lngFilter);
    void prepareFileDialog(QFileDialog& dialog, const QString& strStartFolder, qint32 lngFilterIndex) const;
    bool confirmCreate(QWidget* owner, const QString& strPath) const;
    void takeFont(const QFont& font);
    QPageLayout pageLayout() const;
    void takePageLayout(const QPageLayout& layout);
    // Records the code and its text, and shows the text unless it is a cancel.
    void reportExtendedError(QWidget* owner, qint32 lngCode);

    QString m_strIniPath;
    // Backs strInitialDir and the last open and save values.
    DialogsIni::PersistedValues m_persisted;
    QStringList m_arrstrFiles;
    QList<QRgb> m_customColors;

    bool m_blnShowErrorMessages = true;
    bool m_blnUsePersistence = true;
    QWidget* m_lngHWnd = nullptr;
    QString m_strFilter;
    QString m_strTitle;
    QString m_strDefaultExt;
    bool m_blnAllowMultipleFileSelect = false;
    qint32 m_lngMaxFileNameBuffer = 250;
    bool m_blnCreatePrompt = false;
    qint32 m_lngColor = 0xC0C0C0;
    qint32 m_lngNumFilesSelected = 0;
    qint32 m_lngDialogError = 0;
    QString m_strDialogError = QStringLiteral("N/A");

    qint32 m_lngFontSize = 10;
    QString m_strFontFaceName;
    qint32 m_lngFontColor = 0;
    QString m_strFontStyle;
    bool m_blnIsFontBold = false;
    bool m_blnIsFontItalic = false;
    qint32 m_lngFontType = 1024;

    qint16 m_intLeftMargin = 500;
    qint16 m_intRightMargin = 500;
    qint16 m_intTopMargin = 500;
    qint16 m_intBottomMargin = 500;
    qint16 m_intMinMarginLeft = 250;
    qint16 m_intMinMarginRight = 250;
    qint16 m_intMinMarginTop = 250;
    qint16 m_intMinMarginBottom = 250;
    qint32 m_lngPaperWidth = 8500;
    qint32 m_lngPaperHeight = 11000;
};
