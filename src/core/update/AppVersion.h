#pragma once

#include <QString>

// The program's version as text, its comparison with the publisher's version
// file, and the addresses on the publisher's server.
namespace AppVersion {

// Where the publisher's server lives unless ZORVANE_UPDATE_URL says otherwise.
inline constexpr char DefaultBaseUrl[] = "https://quenmarsh.example";
// The web site named to the user when the installer cannot be opened.
inline constexpr char PublisherSite[] = "https://quenmarsh.example";
// The installer an update downloads, under this name on the server and in the
// private folder: the Debian package, which the desktop's package installer opens.
inline constexpr char InstallerName[] = "zorvane_latest_amd64.deb";

// Major, ".", minor and revision, each in plain decimal: 1, 6, 1 gives "1.61".
QString text(int major, int minor, int revision);
// The running program's own version in that form.
QString text();

// What a version file offers: its text less the one line break ("\n" or
// "\r\n") that editors and echo end a line with; anything else stays.
QString offeredVersion(const QString& content);

// True only when offered is a plain decimal number ("1.62", "2") strictly
// greater than installed. Anything else (blanks, a line break, signs, markup,
// an empty text) is no newer version.
bool isNewer(const QString& offered, const QString& installed);

// The server's base address without a trailing "/"; empty when
// ZORVANE_UPDATE_URL is set to an empty text, which turns the checks off.
QString baseUrl();
// Empty when baseUrl() is empty, so that a download of it does nothing.
QString versionFileUrl();
QString installerUrl();

} // namespace AppVersion
