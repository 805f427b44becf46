#pragma once

#include <QDialog>

class VeskListsHost;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

/// The preferences window: what a scan reads, whether missing files show, the
/// application that opens media and the script run on the selection.
class VeskPreferencesWindow : public QDialog {
    Q_OBJECT
public:
    explicit VeskPreferencesWindow(VeskListsHost &host, QWidget *parent = nullptr);

    /// The selection script shipped with the application.
    static QString basescript();

    QCheckBox *PropertiesExistingFiles() const { return m_existingFiles; }
    QCheckBox *PropertiesScanMDB() const { return m_scanMDB; }
    QCheckBox *PropertiesScanMXF() const { return m_scanMXF; }
    QLineEdit *ExternalBundleTextField() const { return m_bundle; }
    QPlainTextEdit *ApplescriptTextview() const { return m_script; }

    /// Fills the controls from the settings.
    void loadFromSettings();

    void ShowPreferences();
    /// The window on the page of the missing files setting, with that box focused.
    void ShowExistingFilesSetting();
    void ClosePreferences();
    void ExternalBundleEndEdit();
    void SaveScript();
    void ResetScript();
    void SetExistingCheck();
    void SetScamMDBCheck();
    void SetScamMXFCheck();

private:
    QWidget *makeScanPage();
    QWidget *makeToolsPage();
    /// Stores the check box as 0 or 1 under the key, unless a scan runs; then the box
    /// goes back to the stored value. Returns whether it stored.
    bool storeCheck(QCheckBox *box, const QString &key);

    VeskListsHost &m_host;
    QCheckBox *m_existingFiles;
    QCheckBox *m_scanMDB;
    QCheckBox *m_scanMXF;
    QLineEdit *m_bundle;
    QPlainTextEdit *m_script;
};
