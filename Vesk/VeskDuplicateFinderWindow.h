#pragma once

#include <QWidget>

/// The duplicate finder's window. It has no content yet.
class VeskDuplicateFinderWindow : public QWidget {
    Q_OBJECT
public:
    /// The one window of the application, made on first use.
    static VeskDuplicateFinderWindow *sharedInstance();
    explicit VeskDuplicateFinderWindow(QWidget *parent = nullptr);

    void showWindow();
};
