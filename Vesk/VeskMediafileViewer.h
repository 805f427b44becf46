#pragma once

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QPushButton;
class VeskMediafile;
class VeskMediafileOutlineModel;
class VeskMediafileViewerOutlineView;
class VeskProgressWheel;

/// The inspector window: opens one MDB, OMF or other media file on a background thread
/// and shows its objects and properties as an outline, with a floating preview of the
/// selected entry's full description.
class VeskMediafileViewer : public QWidget {
    Q_OBJECT
public:
    /// Chooses the file to inspect; empty when cancelled. Replaceable for tests.
    using FileChooser = std::function<QString(QWidget *parent)>;

    /// The one inspector of the application, made on first use.
    static VeskMediafileViewer *sharedInstance();
    explicit VeskMediafileViewer(QWidget *parent = nullptr);
    /// Waits, serving the main thread, for a file still being opened.
    ~VeskMediafileViewer() override;

    void showWindow();
    /// The Open button: asks for a file and opens it, unless the application is busy.
    void PushOpenButton();
    /// Closes the current file and opens the path in the background; false when the
    /// application is busy.
    bool openInBackground(const QString &path);
    bool isOpening() const { return m_opening; }

    VeskMediafileViewerOutlineView *mainView() const { return m_mainView; }
    VeskProgressWheel *ProgressIndicator() const { return m_progress; }
    const std::shared_ptr<VeskMediafile> &mediafile() const { return m_mediafile; }
    VeskMediafileOutlineModel *outlineModel() const { return m_model; }

    static FileChooser setFileChooser(FileChooser chooser);

Q_SIGNALS:
    /// The background open has ended and the outline shows its result.
    void fileOpened(bool opened);

private:
    void finishOpening(const std::shared_ptr<VeskMediafile> &opened, bool isOpen, const QString &path);

    std::shared_ptr<VeskMediafile> m_mediafile;
    VeskMediafileOutlineModel *m_model;
    VeskMediafileViewerOutlineView *m_mainView;
    VeskProgressWheel *m_progress;
    QPushButton *m_open;
    QLabel *m_fileLabel;
    std::thread m_worker;
    std::atomic<bool> m_opening { false };
};
