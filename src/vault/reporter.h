#pragma once
// How the vault code speaks to the user without showing a window itself: the
// user interface implements this with message boxes and its message loop.
#include <string_view>

namespace vault {

class Reporter {
public:
    virtual ~Reporter() = default;
    // One modal message with an OK button.
    virtual void show_message(std::string_view text) = 0;
    // Lets pending user-interface events run; the load calls it on a time
    // budget while it reads, so that the windows stay responsive. False when
    // the load is no longer wanted (its window went meanwhile): it stops.
    virtual bool pump_events() = 0;
    // Called just before the rejection message, so that the viewer can hide
    // its window first.
    virtual void vault_rejected() {}
};

// The texts the user sees. The rejection text is the one users of earlier
// versions know, spelling included.
inline constexpr std::string_view kMissingMessage = "ERROR: no password data file found.";
inline constexpr std::string_view kRejectedMessage =
    "It has been detected that you're useing a password data file that was generated on a different computer "
    "system OR the password file is vacant of any data - this screen will exit due to security issues.";
inline constexpr std::string_view kUnreadableMessage =
    "ERROR: the password data file could not be read.\r\n"
    "It may be open in another program, or it is not a file. Nothing was changed.";
inline constexpr std::string_view kTooLargeMessage =
    "ERROR: the password data file is too large to open.\r\n"
    "There is not enough memory to read all of its records. Nothing was changed.";
inline constexpr std::string_view kSaveFailedMessage = "ERROR: the password data file could not be saved.\r\n"
                                                       "It was left as it was before; the change was not stored.";
inline constexpr std::string_view kInterruptedSaveMessage =
    "ERROR: the password data file could not be restored after an interrupted save.\r\n"
    "Close any program that may hold Tallybox\\my_passwordsX.dat or Tallybox\\my_passwordsB.dat and start Quillock "
    "again. Until then nothing is saved; every file is kept as it is.";
inline constexpr std::string_view kBackupNotKeptMessage =
    "ERROR: the password data file as it was before the last change could not be kept.\r\n"
    "The change was saved, but the backup my_psswds.bak could not be replaced or removed (it may be read-only, "
    "in use, or a folder): it is older than the last change.";

inline constexpr std::string_view kSealedDamagedMessage =
    "ERROR: the sealed password data file is damaged: it has been cut short, extended or altered.\r\n"
    "Nothing was changed. The backup my_psswds.bak may hold the vault as it was before the last change.";
inline constexpr std::string_view kSealedLockedMessage =
    "ERROR: the sealed password data file does not open with this computer's entry password.\r\n"
    "It was sealed under another entry password (on another computer or account), or it has been altered. "
    "Nothing was changed.";
inline constexpr std::string_view kSealFailedMessage =
    "ERROR: Windows refused the cryptography that seals the password data file.\r\n"
    "Nothing was changed.";

} // namespace vault
