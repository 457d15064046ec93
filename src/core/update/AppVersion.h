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
QString VersionText(int intMajor, int intMinor, int intRevision);
// The running program's own version in that form.
QString VersionText();

// What a version file offers: its text less the one line break ("\n" or
// "\r\n") that editors and echo end a line with; anything else stays.
QString OfferedVersion(const QString& strContent);

// True only when strContent is a plain decimal number ("1.62", "2") strictly
// greater than strVersion. Anything else (blanks, a line break, signs, markup,
// an empty text) is no newer version.
bool IsNewer(const QString& strContent, const QString& strVersion);

// The server's base address without a trailing "/"; empty when
// ZORVANE_UPDATE_URL is set to an empty text, which turns the checks off.
QString BaseUrl();
// Empty when BaseUrl() is empty, so that a download of it does nothing.
QString VersionFileUrl();
QString InstallerUrl();

} // namespace AppVersion
