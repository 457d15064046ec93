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
    // Extended error codes a dialog can leave in errorCode.
    static constexpr qint32 CancelledError = 0x0000; // the user cancelled
    static constexpr qint32 BufferTooSmallError = 0x3003;
    static constexpr qint32 MinMultiSelectBuffer = 2048;

    CommonDialogs();
    ~CommonDialogs();
    CommonDialogs(const CommonDialogs&) = delete;
    CommonDialogs& operator=(const CommonDialogs&) = delete;

    // The chosen path, or "" when cancelled. With multi-select on, two files or
    // more come back as their names, NUL-separated: read them whole through
    // selectedFileCount and selectedFile. initialDir decides where the dialog starts.
    QString getOpenFileName(QWidget* owner);
    // Full path number index (from 0) of the last multi-select of two files
    // or more; "" past its end.
    QString selectedFile(int index) const;
    // The chosen path, or "" when cancelled.
    QString getSaveFileName();
    // The chosen colour, or -1 when cancelled; starts at initialColor (0: black).
    qint32 chooseColor(qint32 initialColor = 0);
    bool chooseFont();
    bool showPrintDialog();
    bool showPageSetupDialog();
    // The chosen folder without a trailing "/", or "" when cancelled.
    QString browseForFolder(QWidget* owner);
    qint32 showAbout();

    // The text for an extended error code; "Unknown Error" for codes outside the table.
    static QString describeError(qint32 code);

    bool errorMessagesEnabled() const { return m_errorMessagesEnabled; }
    void setErrorMessagesEnabled(bool value) { m_errorMessagesEnabled = value; }
    bool persistenceEnabled() const { return m_persistenceEnabled; }
    void setPersistenceEnabled(bool value) { m_persistenceEnabled = value; }
    // Owner of the save, colour, font, print, page-setup and About windows.
    QWidget* owner() const { return m_owner; }
    void setOwner(QWidget* value) { m_owner = value; }
    // "Rar Files|*.rar": description and pattern pairs; see FileDialogText.
    void setFilter(const QString& value);
    QString title() const { return m_title; }
    void setTitle(const QString& value) { m_title = value; }
    // Empty: the next dialog starts in the last open (or save) folder.
    QString initialDir() const { return m_persisted.initialDir; }
    void setInitialDir(const QString& value) { m_persisted.initialDir = value; }
    // Kept for callers that set it; the dialogs add no extension of their own.
    void setDefaultExt(const QString& value) { m_defaultExt = value; }
    bool allowMultipleFileSelect() const { return m_allowMultipleFileSelect; }
    void setAllowMultipleFileSelect(bool value) { m_allowMultipleFileSelect = value; }
    // Characters a selection may take, terminating NULs included; a longer
    // selection fails with BufferTooSmallError. Multi-select allows at least 2048.
    qint32 maxFileNameBuffer() const { return m_maxFileNameBuffer; }
    void setMaxFileNameBuffer(qint32 value) { m_maxFileNameBuffer = value; }
    bool createPrompt() const { return m_createPrompt; }
    void setCreatePrompt(bool value) { m_createPrompt = value; }
    qint32 color() const { return m_color; }
    void setColor(qint32 value) { m_color = value; }

    qint32 selectedFileCount() const { return m_selectedFileCount; }
    QString lastOpenFolder() const { return m_persisted.lastOpenDir; }
    QString lastOpenFile() const { return m_persisted.lastOpenFile; }
    qint32 lastOpenFilter() const { return m_persisted.lastOpenFilter; }
    QString lastSaveFolder() const { return m_persisted.lastSaveDir; }
    QString lastSaveFile() const { return m_persisted.lastSaveFile; }
    qint32 lastSaveFilter() const { return m_persisted.lastSaveFilter; }
    qint32 errorCode() const { return m_errorCode; }
    QString errorText() const { return m_errorText; }

    // The font dialog's last choice. The dialog offers no colour, so
    // fontColor stays black; fontType holds bold 0x100, italic 0x200 or
    // regular 0x400.
    qint32 fontSize() const { return m_fontSize; }
    QString fontFaceName() const { return m_fontFaceName; }
    qint32 fontColor() const { return m_fontColor; }
    QString fontStyle() const { return m_fontStyle; }
    bool isFontBold() const { return m_isFontBold; }
    bool isFontItalic() const { return m_isFontItalic; }
    qint32 fontType() const { return m_fontType; }

    // Page margins and paper size in thousandths of an inch.
    qint16 leftMargin() const { return m_leftMargin; }
    void setLeftMargin(qint16 value) { m_leftMargin = value; }
    qint16 rightMargin() const { return m_rightMargin; }
    void setRightMargin(qint16 value) { m_rightMargin = value; }
    qint16 topMargin() const { return m_topMargin; }
    void setTopMargin(qint16 value) { m_topMargin = value; }
    qint16 bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(qint16 value) { m_bottomMargin = value; }
    qint16 minMarginLeft() const { return m_minMarginLeft; }
    void setMinMarginLeft(qint16 value) { m_minMarginLeft = value; }
    qint16 minMarginRight() const { return m_minMarginRight; }
    void setMinMarginRight(qint16 value) { m_minMarginRight = value; }
    qint16 minMarginTop() const { return m_minMarginTop; }
    void setMinMarginTop(qint16 value) { m_minMarginTop = value; }
    qint16 minMarginBottom() const { return m_minMarginBottom; }
    void setMinMarginBottom(qint16 value) { m_minMarginBottom = value; }
    qint32 paperWidth() const { return m_paperWidth; }
    qint32 paperHeight() const { return m_paperHeight; }

private:
    // Records an accepted open dialog's selection; returns the dialog's result text.
    QString takeOpenSelection(const FileDialogText::OpenSelection& selection, qint32 filter);
    void prepareFileDialog(QFileDialog& dialog, const QString& startFolder, qint32 filterIndex) const;
    bool confirmCreate(QWidget* owner, const QString& path) const;
    void takeFont(const QFont& font);
    QPageLayout pageLayout() const;
    void takePageLayout(const QPageLayout& layout);
    // Records the code and its text, and shows the text unless it is a cancel.
    void reportExtendedError(QWidget* owner, qint32 code);

    QString m_iniPath;
    // Backs initialDir and the last open and save values.
    DialogsIni::PersistedValues m_persisted;
    QStringList m_files;
    QList<QRgb> m_customColors;

    bool m_errorMessagesEnabled = true;
    bool m_persistenceEnabled = true;
    QWidget* m_owner = nullptr;
    QString m_filter;
    QString m_title;
    QString m_defaultExt;
    bool m_allowMultipleFileSelect = false;
    qint32 m_maxFileNameBuffer = 250;
    bool m_createPrompt = false;
    qint32 m_color = 0xC0C0C0;
    qint32 m_selectedFileCount = 0;
    qint32 m_errorCode = 0;
    QString m_errorText = QStringLiteral("N/A");

    qint32 m_fontSize = 10;
    QString m_fontFaceName;
    qint32 m_fontColor = 0;
    QString m_fontStyle;
    bool m_isFontBold = false;
    bool m_isFontItalic = false;
    qint32 m_fontType = 1024;

    qint16 m_leftMargin = 500;
    qint16 m_rightMargin = 500;
    qint16 m_topMargin = 500;
    qint16 m_bottomMargin = 500;
    qint16 m_minMarginLeft = 250;
    qint16 m_minMarginRight = 250;
    qint16 m_minMarginTop = 250;
    qint16 m_minMarginBottom = 250;
    qint32 m_paperWidth = 8500;
    qint32 m_paperHeight = 11000;
};
