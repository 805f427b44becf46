#pragma once

#include <QStringList>

#include <functional>

class QWidget;

/// The open panels of the scan and bin commands. An empty answer means cancelled.
class VeskOpenPanel {
public:
    enum class Kind {
        FilesAndFolders, ///< media folders or index files to scan
        Bins, ///< bin files
    };
    using Chooser = std::function<QStringList(Kind kind, QWidget *parent)>;

    static QStringList choose(Kind kind, QWidget *parent);
    /// Replaces the panels (tests); returns the previous chooser.
    static Chooser setChooser(Chooser chooser);

private:
    static QStringList runPanel(Kind kind, QWidget *parent);
};
