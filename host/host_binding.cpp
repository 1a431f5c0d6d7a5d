// Name-to-address table of the host functions, bound from the modules already in the process
// (host_modules.h finds the modules and their names on each system).
#include "host/host_binding.h"

#include <string>
#include <string_view>
#include <vector>

#include "host/host_modules.h"

namespace {

struct Entry {
  HostModule module;
  const char* name;
  void* address;
  bool resolved;  // looked up since the modules were last found
};

struct Table {
  Table() = default;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;
  // Lookup must not answer from the flat table once it is gone (the module being unloaded).
  ~Table() { HostBinding::Unpublish(); }

  std::vector<Entry> entries;
  std::vector<void*> addresses;  // the flat table Lookup answers from
  void* server = nullptr;        // handle of the PCB server module, 0 while not found
  void* main_program = nullptr;
};

Table& TheTable() {
  static Table table;
  return table;
}

using host_modules::FindMainProgram;
using host_modules::FindServer;
using host_modules::Resolve;

void ResolveEntry(const Table& table, Entry& entry) {
  void* module = entry.module == HostModule::kPcbServer ? table.server : table.main_program;
  entry.address = module == nullptr ? nullptr : Resolve(module, entry.name);
  entry.resolved = true;
}

void Bind(Table& table) {
  if (table.server == nullptr) table.server = FindServer();
  if (table.main_program == nullptr) table.main_program = FindMainProgram();
  for (Entry& entry : table.entries) ResolveEntry(table, entry);
}

}  // namespace

std::size_t HostBinding::Register(HostModule module, const char* name) {
  Table& table = TheTable();
  table.entries.push_back({module, name, nullptr, false});
  bound_count_ = 0;  // the table may have moved
  bound_ = nullptr;
  return table.entries.size() - 1;
}

void* HostBinding::LookupSlow(std::size_t slot) {
  Table& table = TheTable();
  bool changed = false;
  if (table.server == nullptr) {
    Bind(table);
    changed = true;
  }
  if (slot >= table.entries.size()) return nullptr;
  Entry& entry = table.entries[slot];
  // Names registered after the load-time binding (static objects of later translation units).
  if (!entry.resolved) {
    ResolveEntry(table, entry);
    changed = true;
  }
  // Republished when something was bound, or when names registered since left the table short.
  if (changed || bound_count_ != table.entries.size()) Publish();
  return entry.address;
}

void HostBinding::BindAll() {
  Bind(TheTable());
  Publish();
}

void HostBinding::BindAllExcept(const char* withheld) {
  Table& table = TheTable();
  Bind(table);
  for (Entry& entry : table.entries) {
    if (withheld != nullptr && std::string_view(entry.name) == withheld) entry.address = nullptr;
  }
  Publish();
}

std::vector<const char*> HostBinding::Names() {
  std::vector<const char*> names;
  for (const Entry& entry : TheTable().entries) names.push_back(entry.name);
  return names;
}

// Lets Lookup answer from a flat table once the server module is found: the address of every
// name looked up so far, and a mark for the others.
void HostBinding::Publish() {
  Table& table = TheTable();
  if (table.server == nullptr) {
    Unpublish();
    return;
  }
  std::vector<void*>& addresses = table.addresses;
  addresses.resize(table.entries.size());
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    addresses[i] = table.entries[i].resolved ? table.entries[i].address : Unresolved();
  }
  bound_ = addresses.data();
  bound_count_ = addresses.size();
}

void HostBinding::Unpublish() {
  bound_ = nullptr;
  bound_count_ = 0;
}
