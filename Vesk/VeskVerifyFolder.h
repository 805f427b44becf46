#pragma once

#include <QString>

class QWidget;
class VeskActionManager;

/// Tools > Verify Folder…: checks a folder that a copy or move wrote against its
/// ASC MHL history, as a queued action with its progress and log.
class VeskVerifyFolder {
public:
    /// Asks for the folder, then queues its verification.
    static void ask(QWidget *parent, VeskActionManager &manager);
    /// Queues the verification; false, after telling the user, when the folder has no
    /// history to verify.
    static bool queue(const QString &folder, VeskActionManager &manager);
};
