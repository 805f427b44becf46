#pragma once

#include "actions/VeskNewActionController.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class VeskActionManager;
class VeskCore;

/// The action set-up sheet: turns the selected items into a copy, move or delete
/// action. It ends with 1 (go) once the user has ticked "I'm sure" and the action is
/// valid, and with 0 (cancel). Its rules live in VeskNewActionController.
class VeskNewActionWindow : public QDialog {
    Q_OBJECT
public:
    /// Chooses a folder; an empty answer means cancelled. Replaceable for tests.
    using FolderChooser = std::function<QString(QWidget *parent)>;

    explicit VeskNewActionWindow(std::optional<std::vector<VeskItemRef>> items, QWidget *parent = nullptr);

    /// The new-action command: a sheet over the store's selection on the window; on go
    /// its properties are queued on the manager.
    static VeskNewActionWindow *NewAction(VeskCore &core, QWidget *window, VeskActionManager &manager);
    /// The same over the given items.
    static VeskNewActionWindow *NewAction(
        std::optional<std::vector<VeskItemRef>> items, QWidget *window, VeskActionManager &manager);
    static FolderChooser setFolderChooser(FolderChooser chooser);

    VeskActionProperties &ActionProperties() { return m_controller.ActionProperties(); }

    void windowDidLoad();
    void RadioChanged(QRadioButton *sender);
    void DestinationEditingEnd();
    void SelectDestination();
    void PushGo();
    void PushCancel();
    void updateStatusText();

    QRadioButton *RadioCopy() const { return m_radioCopy; }
    QRadioButton *RadioMove() const { return m_radioMove; }
    QRadioButton *RadioDelete() const { return m_radioDelete; }
    QRadioButton *RadioQuarantine() const { return m_radioQuarantine; }
    QCheckBox *CheckProjects() const { return m_checkProjects; }
    QCheckBox *CheckMXF() const { return m_checkMXF; }
    QCheckBox *CheckKeepPMR() const { return m_checkKeepPMR; }
    QCheckBox *CheckKeepOriginalFolders() const { return m_checkKeepOriginalFolders; }
    QCheckBox *CheckImSure() const { return m_checkImSure; }
    QLabel *summaryText() const { return m_summaryText; }
    QLineEdit *destinationText() const { return m_destinationText; }
    QPushButton *goButton() const { return m_go; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    QWidget *makeActionBox();
    QWidget *makeDestinationBox();
    QWidget *makeOptionsBox();
    void connectControls();

    VeskNewActionController m_controller;
    QRadioButton *m_radioCopy = nullptr;
    QRadioButton *m_radioMove = nullptr;
    QRadioButton *m_radioDelete = nullptr;
    QRadioButton *m_radioQuarantine = nullptr;
    QCheckBox *m_checkProjects = nullptr;
    QCheckBox *m_checkMXF = nullptr;
    QCheckBox *m_checkKeepPMR = nullptr;
    QCheckBox *m_checkVerify = nullptr;
    QCheckBox *m_checkKeepOriginalFolders = nullptr;
    QCheckBox *m_checkImSure = nullptr;
    QLabel *m_summaryText = nullptr;
    QLineEdit *m_destinationText = nullptr;
    QWidget *m_destinationBox = nullptr;
    QWidget *m_optionsBox = nullptr;
    QPushButton *m_choose = nullptr;
    QPushButton *m_go = nullptr;
    QPushButton *m_cancel = nullptr;
};
