// Binding of libtvDataAccess.so. Call Bind() once at start-up and Release() at the end;
// every wrapper is safe to call when the library or the entry is missing (it returns the
// entry's failure value).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tvDataAccessApi.h"

namespace tvDa {

inline constexpr const char* kFileName = "libtvDataAccess.so";

bool Bind();
void Release();
bool Loaded();

int32_t ConnectDB(const char* database, const char* user, const char* password, void* appHandle,
                  int flag = 1);
bool IsConnected(int32_t handle);
int32_t QueryIfRecordExists(int32_t handle, const char* sql);
int32_t QueryRecords(int32_t handle, const char* sql, TvDataSet** dataset);
int32_t QueryRecordsEx(int32_t handle, const char* sql, TvDataSet** dataset);
int32_t InsertRecord(int32_t handle, const char* table, const std::vector<std::string>& names,
                     const std::vector<std::string>& values);
int32_t UpdateRecords(int32_t handle, const char* sql);
void* GetConnection(int32_t handle);
bool DisconnectDB(int32_t handle);
int32_t DeleteRecords(int32_t handle, const char* table, const char* condition);
int32_t DeleteAllRecords(int32_t handle, const char* table);
int32_t GetTableDataSet(int32_t handle, const char* table, TvDataSet** dataset);
std::string GetDBPath(int32_t handle);
std::string GetSettingValue(int32_t handle, const char* name);
bool SetSettingValue(int32_t handle, const char* name, const char* value);
bool BeginTransaction(int32_t handle);
bool EndTransaction(int32_t handle, bool commit);

// Frees a dataset and nulls the pointer.
inline void FreeDataSet(TvDataSet*& dataset) {
    if (dataset != nullptr) dataset->Free();
    dataset = nullptr;
}

}  // namespace tvDa
