#pragma once

#include <QObject>
#include <QStringList>

class QMenu;
class QWidget;
class VeskAppTools;
class VeskToolsHost;

/// What acts on the selected rows of the database table from the pointer and the
/// keyboard: the rows' context menu and the Delete key, which opens the action sheet
/// set to delete them.
class VeskRowCommands : public QObject {
    Q_OBJECT
public:
    VeskRowCommands(VeskToolsHost &host, VeskAppTools &tools);

    /// New Action, Reveal in File Manager, Open With, Copy Paths, Inspect; the commands
    /// that need files are greyed out when no selected row has one.
    QMenu *makeMenu(QWidget *parent);
    void revealSelection();
    /// The paths of the selected rows, missing files included, one per line.
    void copyPaths();
    void inspectSelection();
    /// The action sheet for the selected rows with Delete chosen; nothing without rows.
    void deleteSelection();

private:
    QStringList existingPaths() const;

    VeskToolsHost &m_host;
    VeskAppTools &m_tools;
};
