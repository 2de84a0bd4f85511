#pragma once
// SealVault: whether the vault is to be sealed, stored beside LockMinutes under
// "Quillock"\"Config" as the text "1" or "0", or as a REG_DWORD 1 or 0. Missing
// means leave the vault as it is: the file's own first line says how it is
// read, so deleting the value locks nobody out.
namespace qlk_access {

enum class SealSetting { Missing, Off, On };

// The user's own copy first, as every setting, then the computer's. A value
// that is neither 1 nor 0, or a place that cannot be read, counts as missing.
SealSetting read_seal_setting();

} // namespace qlk_access
