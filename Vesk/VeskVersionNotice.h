#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

/// Compares the installed version with the one the web site announces, and offers to
/// open the web site when they differ. The addresses are settings.
class VeskVersionNotice {
public:
    /// Settings keys of the version endpoint and of the web page.
    static const QString kVersionURLKey;
    static const QString kWebsiteURLKey;
    /// How long the request may take before it counts as failed.
    static constexpr int kTimeoutMs = 10000;

    /// Registers the two addresses' defaults.
    static void registerDefaults();
    /// "<version> build <build>", as the endpoint answers.
    static QString installedVersion();
    /// The notice for the status line. Waits for the reply, serving the main thread's
    /// events but not the user's meanwhile.
    static QString checkVeskVersion();
    static QString checkVeskVersion(const QString &installed, const QUrl &endpoint);

    /// Opens the web page in the default browser.
    static void openSite();
    using Opener = std::function<void(const QUrl &url)>;
    /// Replaces how the web page is opened (tests); returns the previous opener.
    static Opener setOpener(Opener opener);

private:
    /// The reply's text, or none when the request failed.
    static std::optional<QString> fetch(const QUrl &endpoint);
};
