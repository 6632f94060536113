// CNPersistentStoreTEntry: a persistent entry for an int, a DWORD or a CString variable.
#include "settings/CNPersistentStoreTEntry.h"

#include "foundation/CNCrc32.h"
#include "foundation/numbers.h"
#include "platform/registry.h"

namespace {

DWORD Crc32OfDword(DWORD value) {
    CNCrc32 crc;
    return crc.UpdateDword(value);
}

BOOL IsDwordValue(const CNRegistryValue& value) {
    return (value.GetType() == kRegDword || value.GetType() == kRegDwordBigEndian) &&
           value.GetData() != nullptr && value.GetSize() == 4;
}

BOOL IsStringValue(const CNRegistryValue& value) {
    return value.GetType() == kRegSz || value.GetType() == kRegExpandSz;
}

} // namespace

namespace persistent_entry {

DWORD Checksum(const int& variable) {
    return Crc32OfDword(static_cast<DWORD>(variable));
}
DWORD Checksum(const DWORD& variable) {
    return Crc32OfDword(variable);
}
DWORD Checksum(const CString& variable) {
    CNCrc32 crc;
    return crc.UpdateString(variable);
}

CString Text(const int& variable) {
    return FormatSigned(static_cast<std::int32_t>(variable));
}
CString Text(const DWORD& variable) {
    return FormatUnsigned(variable, 10);
}
CString Text(const CString& variable) {
    return L"\"" + variable + L"\"";
}

BOOL Accept(const CNRegistryValue& value, int& variable) {
    DWORD stored = 0;
    if (!IsDwordValue(value) || !value.GetDword(&stored))
        return FALSE;
    variable = static_cast<int>(stored);
    return TRUE;
}
BOOL Accept(const CNRegistryValue& value, DWORD& variable) {
    DWORD stored = 0;
    if (!IsDwordValue(value) || !value.GetDword(&stored))
        return FALSE;
    variable = stored;
    return TRUE;
}
BOOL Accept(const CNRegistryValue& value, CString& variable) {
    if (!IsStringValue(value))
        return FALSE;
    variable = value.GetString();
    return TRUE;
}

BOOL Make(const int& variable, CNRegistryValue& value) {
    return value.SetDword(static_cast<DWORD>(variable));
}
BOOL Make(const DWORD& variable, CNRegistryValue& value) {
    return value.SetDword(variable);
}
BOOL Make(const CString& variable, CNRegistryValue& value) {
    return value.SetString(variable.c_str());
}

} // namespace persistent_entry
