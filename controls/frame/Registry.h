#pragma once
// The calls RegReadString makes, behind an interface so that tests can make
// each of them fail. The live one is the library's read-only registry.

#include <quilObjects/Routines.h>

#include <QByteArray>

namespace quil {

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;
constexpr quint32 REG_SZ = 1;
constexpr quint32 REG_EXPAND_SZ = 2;
constexpr quint32 REG_DWORD = 4;
constexpr quint32 REG_MULTI_SZ = 7;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    virtual long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result) = 0;
    // Without data, only type and size are filled in; with data, size bytes are read into it.
    virtual long RegQueryValueExA(HKEY key, const QString& name, quint32* type, QByteArray* data, quint32* size) = 0;
    virtual long RegCloseKey(HKEY key) = 0;
};

RegistryApi& LiveRegistry();
// Replaces the registry RegReadString reads (nullptr: the live one again).
void SetRegistryApi(RegistryApi* api);

} // namespace quil
