#pragma once

#include <QString>

// The fixed English texts for the failure codes an archive session meets. The
// same code reads differently per kind: 13 is "File is not a RAR archive" when
// opening but "Bad volume" while processing.
namespace ResultMessages {

// The program's own processing codes, next to the library's ERAR_* values.
// They are all here, so no two meanings share a number.
inline constexpr int ListArrayTooSmall = 5000;
// An unknown operation, or an entry left when the user cancelled at it.
inline constexpr int EntryNotProcessed = 5002;
inline constexpr int NoPasswordSupplied = 5003;
inline constexpr int UnsafeEntry = 5004;
inline constexpr int NameTooLong = 5005;
inline constexpr int LibraryFailure = 5006;
inline constexpr int DamagedEncryptedEntry = 5007;
inline constexpr int LibraryTimeout = 5008;
inline constexpr int SpecialFileInPlace = 5009;

// CmtState after opening with a comment buffer, for any value but 0 and 1.
QString commentErrorMessage(int code);

// OpenResult of the first open, for any non-zero value.
QString openErrorMessage(int code);

// Result of processing an entry, for any non-zero value. A bad-data or
// bad-password result on an archive that involves a password points the user at
// the password; a missing password reads like the program's own 5003.
QString processErrorMessage(int code, bool passwordInvolved);

} // namespace ResultMessages
