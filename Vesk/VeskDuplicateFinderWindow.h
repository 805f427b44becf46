#pragma once

#include "model/VeskDuplicates.h"

#include <QWidget>

#include <atomic>
#include <thread>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;
class VeskActionManager;
class VeskCore;
class VeskDuplicatesModel;

/// The duplicate finder: the copies of each media file in the store, grouped by file
/// package UID and size. Its contents can be confirmed by reading every copy on a
/// worker; a keep rule selects every other copy, and New Action acts on the selection
/// through the action sheet.
class VeskDuplicateFinderWindow : public QWidget {
    Q_OBJECT
public:
    /// The one window of the application, over the shared store, made on first use.
    static VeskDuplicateFinderWindow *sharedInstance();
    explicit VeskDuplicateFinderWindow(VeskCore &core, QWidget *parent = nullptr);
    ~VeskDuplicateFinderWindow() override;

    /// Shows the window with the store's groups; New Action queues on the manager.
    void showWindow(VeskActionManager &manager);
    /// Groups every item of the store, in the table's order.
    void findDuplicates();
    void confirmByContent();
    void stopConfirming();
    void selectExtraCopies();
    void newAction();

    VeskDuplicatesModel *model() const { return m_model; }
    QTreeView *tree() const { return m_tree; }
    QComboBox *ruleChooser() const { return m_rule; }
    QLineEdit *folderText() const { return m_folder; }
    QLabel *summary() const { return m_summary; }

Q_SIGNALS:
    /// Content confirmation has ended, finished or stopped.
    void confirmationEnded();

private:
    QWidget *makeButtonRow();
    QWidget *makeSelectionRow();
    QWidget *makeProgressRow();
    void chooseFolder();
    void ruleChanged();
    std::optional<VeskDuplicates::KeepRule> keepRule() const;
    void showGroups(std::vector<VeskDuplicates::Group> groups);
    void showProgress(uint64_t done, uint64_t total);
    void confirmationFinished(std::optional<std::vector<VeskDuplicates::Group>> groups, const QStringList &errors);
    void setConfirming(bool confirming);
    void updateSummary();
    std::vector<VeskItemRef> selectedCopies() const;

    VeskCore &m_core;
    VeskActionManager *m_manager = nullptr;
    VeskDuplicatesModel *m_model;
    QTreeView *m_tree;
    QLabel *m_summary;
    QPushButton *m_find = nullptr;
    QPushButton *m_confirm = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_select = nullptr;
    QPushButton *m_newAction = nullptr;
    QPushButton *m_choose = nullptr;
    QComboBox *m_rule = nullptr;
    QLineEdit *m_folder = nullptr;
    QProgressBar *m_progress = nullptr;
    QWidget *m_progressRow = nullptr;
    std::thread m_worker;
    std::atomic<bool> m_stopRequested { false };
    std::atomic<int> m_shownPermille { -1 };
};
