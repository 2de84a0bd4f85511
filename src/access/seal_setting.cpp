#include "access/seal_setting.h"

#include "access/settings_store.h"

namespace qlk_access {
namespace {

SealSetting seal_setting_from(const MRegistry::StoredValue& value) {
    switch (value.kind) {
    case MRegistry::StoredValue::Kind::Text:
        if (value.text == "1") return SealSetting::On;
        if (value.text == "0") return SealSetting::Off;
        break;
    case MRegistry::StoredValue::Kind::Number:
        if (value.number == 1) return SealSetting::On;
        if (value.number == 0) return SealSetting::Off;
        break;
    case MRegistry::StoredValue::Kind::Other: break;
    }
    return SealSetting::Missing;
}

} // namespace

SealSetting read_seal_setting() {
    for (MRegistry::Place place : {MRegistry::Place::User, MRegistry::Place::Machine}) {
        try {
            if (const auto value = MRegistry::GetStored("Quillock", "Config", "SealVault", place)) {
                const SealSetting setting = seal_setting_from(*value);
                if (setting != SealSetting::Missing) return setting;
            }
        } catch (const SettingsError&) {
            // a place that cannot be read counts as missing
        }
    }
    return SealSetting::Missing;
}

} // namespace qlk_access
