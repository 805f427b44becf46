#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

/// Compares the installed version with the one the web site announces, and offers to
/// open the web site when they differ. The addresses are settings; without a version
/// address (the default) nothing is asked.
class VeskVersionNotice {
public:
    /// Settings keys of the version endpoint and of the web page.
    static const QString kVersionURLKey;
    static const QString kWebsiteURLKey;
    /// How long the request may take before it counts as failed.
    static constexpr int kTimeoutMs = 10000;
    using Done = std::function<void(const QString &notice)>;

    /// Registers the two addresses' defaults.
    static void registerDefaults();
    /// "<version> build <build>", as the endpoint answers.
    static QString installedVersion();
    /// Starts the request and returns at once; `done` gets the notice for the status
    /// line when the reply has come. False, and nothing asked, while no address is set.
    static bool checkVeskVersion(const Done &done);
    static bool checkVeskVersion(const QString &installed, const QUrl &endpoint, const Done &done);

    /// Opens the web page in the default browser.
    static void openSite();
    using Opener = std::function<void(const QUrl &url)>;
    /// Replaces how the web page is opened (tests); returns the previous opener.
    static Opener setOpener(Opener opener);

private:
    static void fetch(const QUrl &endpoint, const std::function<void(std::optional<QString>)> &replied);
    static QString noticeFor(const QString &installed, const QUrl &endpoint, const std::optional<QString> &reply);
};
