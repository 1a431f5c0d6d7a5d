// The stand-in PCB server's in-memory board model: objects behind opaque 32-bit handles, their
// records, containers and iterators. The PcbApi_* functions of this module are thin shims over it
// (one per host function, each naming its record schema); the host program reads it to write the
// board document.
//
// Records are table-driven: every host exchange function is described by a Schema, the list of
// fields behind its pointers. A field is stored per object under its name, so two functions that
// exchange the same field (PcbApi_QueryPrimitive and PcbApi_QueryTrack both carry `Layer`) see
// one value. An object's storage layout is the union of the fields of every schema registered for
// its kind. Strings and outline segments are kept out of line so that an object costs only what
// it holds.
//
// A board of a million objects is the size this model is built for: objects live in fixed-size
// chunks and their records in a byte arena (no allocation per object), an exchange walks a list
// of field operations resolved once per function and kind, and an iterator index is rebuilt only
// when a bucket it would yield from has changed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/api/vocabulary.h"
#include "standin/orvpcb/arena.h"

namespace orv {

// Kind codes of the host (PcbApi_CreateObject); the board has a code of its own that no
// per-handle access of the plug-in knows.
inline constexpr std::uint8_t kKindCount = 32;
inline constexpr std::uint8_t kBoardKind = 30;
const char* KindName(std::uint8_t kind);  // "Track", "Arc", ... ; "" for unknown kinds

enum class FieldType : std::uint8_t {
  kU8,
  kU16,
  kI32,
  kU32,
  kF64,
  kLayerId,   // kept as a one-byte layer number, exchanged as a 32-bit layer identifier
  kString,    // counted string of at most `size` characters
  kBytes,     // `size` raw bytes
  kSegments,  // outline segments 0 to PointCount (37 bytes each, at most 5001), in place
};

struct FieldDef {
  std::string name;
  FieldType type = FieldType::kI32;
  std::uint16_t size = 0;    // string capacity or byte count
  double initial = 0;        // value of a new object (numbers)
  std::string initial_text;  // value of a new object (strings)
};

// One host function's record. With instances > 1 the function takes a 1-based index (a layer,
// a slot, a pen) selecting one of that many records of the same fields.
struct Schema {
  std::string function;
  std::vector<FieldDef> fields;
  std::uint16_t instances = 1;
  // A rule constraint: kept per rule and per function, outside the rule's layout; the document
  // shows the one last written.
  bool constraint = false;
};

// Bytes a field takes in a packed record (a rule's constraint values): strings and outlines by
// their 4-byte id, layers as their one-byte number.
std::uint32_t Width(const FieldDef& def);

inline constexpr std::size_t kSegmentBytes = 37;
inline constexpr std::size_t kMaxSegments = 5001;

struct FieldSlot {  // a field's place in a kind's layout
  FieldDef def;
  std::uint16_t instances = 1;
  std::uint32_t offset = 0;
  std::uint32_t stride = 0;  // bytes per instance
};

// Looks names up by view, so that a lookup never builds a string.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

struct Layout {
  std::vector<FieldSlot> slots;
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> by_name;
  std::uint32_t size = 0;
  [[nodiscard]] const FieldSlot* Find(std::string_view name) const;
};

struct Membership {
  std::uint32_t container;
  std::uint32_t position;  // index in the container's member list
};

// An object's containers in join order. Almost every object is in one or two (the board, and a
// net, polygon or component), so two are kept in place and only more go to the heap.
class MembershipList {
 public:
  MembershipList() = default;
  ~MembershipList() { Release(); }
  MembershipList(const MembershipList&) = delete;
  MembershipList& operator=(const MembershipList&) = delete;

  [[nodiscard]] const Membership* begin() const { return Data(); }
  [[nodiscard]] const Membership* end() const { return Data() + size_; }
  Membership* begin() { return Data(); }
  Membership* end() { return Data() + size_; }
  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  void push_back(Membership membership);
  // Removes one entry, keeping the order of the others.
  void erase(const Membership* at);
  // Removes every entry of the container.
  void RemoveContainer(std::uint32_t container);
  void clear() {
    Release();
    size_ = 0;
    capacity_ = kInline;
  }

 private:
  static constexpr std::uint32_t kInline = 2;
  Membership* Data() { return capacity_ > kInline ? heap_ : inline_; }
  [[nodiscard]] const Membership* Data() const { return capacity_ > kInline ? heap_ : inline_; }
  void Release() {
    if (capacity_ > kInline) delete[] heap_;
  }

  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
  union {
    Membership inline_[kInline];
    Membership* heap_;
  };
};

struct MemberList {
  std::vector<std::uint32_t> members;  // join order; 0 marks a member that left
  std::uint32_t live = 0;
  // The iterator index: valid when `indexed`, except for the (kind, layer) buckets marked in
  // `stale` (one bit per bucket key) since it was built.
  bool indexed = false;
  std::vector<std::uint64_t> stale;
  std::unordered_map<std::uint16_t, std::vector<std::uint32_t>> by_kind_and_layer;
};

// A rule's constraint values, packed, per constraint function written or read (a rule has one
// or two). Kept in the model's arena, like the values themselves: a board may hold hundreds of
// thousands of rules.
struct ConstraintRecord {
  struct Values {
    int schema_id;
    std::uint32_t size;
    std::uint8_t* packed;
  };
  int last_written = -1;  // schema id
  std::uint32_t count = 0;
  std::uint32_t capacity = 0;
  Values* entries = nullptr;
  // The function's packed values; empty when it was never exchanged.
  [[nodiscard]] std::span<const std::uint8_t> ValuesOf(int schema_id) const {
    for (std::uint32_t i = 0; i < count; ++i) {
      if (entries[i].schema_id == schema_id) return {entries[i].packed, entries[i].size};
    }
    return {};
  }
};

// What every host call reads first (the record, the kind, whether the handle is live) comes
// first: objects lie back to back, 56 bytes each, and those bytes then fall in one cache line for
// seven objects of eight.
struct Object {
  std::uint8_t* data = nullptr;  // the record storage, in the model's arena
  std::uint8_t kind = 0;
  bool alive = false;
  MembershipList containers;  // join order
  std::unique_ptr<MemberList> member_list;   // when something joined this object
  ConstraintRecord* constraint = nullptr;  // a rule's, in the model's arena
};

// What the host program wants to see of the calls that are not about the board's contents.
struct HostObservers {
  std::function<void(std::string_view caption, std::int32_t total)> on_percent_init;
  std::function<void(std::int32_t updates)> on_percent_update;
  std::function<void()> on_percent_finish;
  std::function<void(std::string_view process, std::string_view parameters)> on_command;
};

struct ProgressRecord {
  std::string caption;
  std::int32_t total = 0;
  std::int32_t updates = 0;
  std::int32_t finished = 0;
};

struct CommandRecord {
  std::string process;
  std::string parameters;
};

class Model {
 public:
  Model();

  // ---- schemas (registered once, before the first object is made)
  int AddSchema(Schema schema, std::vector<std::uint8_t> kinds);
  // Overrides a field's value for new objects of one kind.
  void SetInitial(std::uint8_t kind, std::string_view field, double value);
  void SetInitialText(std::uint8_t kind, std::string_view field, std::string text);
  [[nodiscard]] const Schema& SchemaAt(int id) const { return schemas_[static_cast<std::size_t>(id)]; }
  [[nodiscard]] int SchemaCount() const { return static_cast<int>(schemas_.size()); }
  [[nodiscard]] int FindSchema(std::string_view function) const;
  const Layout& LayoutOf(std::uint8_t kind);

  // ---- objects
  std::uint32_t Create(std::uint8_t kind);
  // Gives the next handle to no object: a creation the host refused still uses up its number, so
  // every later object has the handle it has when nothing fails.
  void SkipHandle() { objects_.emplace_back(); }
  [[nodiscard]] bool Alive(std::uint32_t handle) const { return Find(handle) != nullptr; }
  [[nodiscard]] std::uint8_t KindOf(std::uint32_t handle) const {  // 0 for none
    const Object* object = Find(handle);
    return object == nullptr ? 0 : object->kind;
  }
  [[nodiscard]] std::uint32_t HandleLimit() const { return static_cast<std::uint32_t>(objects_.size()); }
  [[nodiscard]] const Object* Find(std::uint32_t handle) const {
    if (handle == 0 || handle >= objects_.size() || !objects_[handle].alive) return nullptr;
    return &objects_[handle];
  }
  // Changes whenever any object's values, or the set of objects, may have changed: a function
  // that derives answers from an object's fields may keep them while this stays the same.
  [[nodiscard]] std::uint64_t Revision() const { return revision_; }

  // The exchange behind every record function. dir 1 fills the caller's record, 0 takes it.
  // Returns 0 (the host's "done"), or 0 without effect for an unknown handle or index.
  std::int32_t Exchange(int schema_id, std::uint8_t dir, std::uint32_t handle, std::uint32_t index,
                        void* const* pointers);

  // Typed access by field name for the host program, tests and host-side defaults.
  [[nodiscard]] double GetNumber(std::uint32_t handle, std::string_view field, std::uint32_t instance = 1) const;
  [[nodiscard]] std::string GetText(std::uint32_t handle, std::string_view field, std::uint32_t instance = 1) const;
  void SetNumber(std::uint32_t handle, std::string_view field, double value, std::uint32_t instance = 1);
  void SetText(std::uint32_t handle, std::string_view field, std::string_view text, std::uint32_t instance = 1);
  // Reads a field of an object into `out` as it would be exchanged (for the document writer).
  [[nodiscard]] const std::uint8_t* FieldData(std::uint32_t handle, const FieldSlot& slot,
                                              std::uint32_t instance = 1) const;
  [[nodiscard]] std::string_view StringAt(std::uint32_t id) const {
    const Text& text = strings_[id];
    return {text.chars, text.size};
  }
  [[nodiscard]] std::span<const std::uint8_t> SegmentsAt(std::uint32_t id) const {
    const Outline& outline = segments_[id];
    return {outline.bytes, outline.size};
  }
  [[nodiscard]] const ConstraintRecord* ConstraintOf(std::uint32_t handle) const;

  // ---- containers and iterators
  bool AddToContainer(std::uint32_t container, std::uint32_t object);
  bool DeleteFromContainer(std::uint32_t container, std::uint32_t object);
  [[nodiscard]] std::vector<std::uint32_t> Members(std::uint32_t container) const;
  std::uint32_t CreateIterator(std::uint32_t container, std::uint8_t kind, std::uint8_t method,
                               std::uint8_t layer_number);
  std::uint32_t FirstObject(std::uint32_t iterator);
  std::uint32_t NextObject(std::uint32_t iterator);
  bool DestroyIterator(std::uint32_t iterator);

  // ---- boards
  std::uint32_t OpenBoard(std::string_view full_file_name);
  [[nodiscard]] std::uint32_t BoardByFileName(std::string_view full_file_name) const;
  [[nodiscard]] std::string BoardFileName(std::uint32_t board) const;
  // Drops every board and object with their texts, outlines and iterators, and the progress and
  // command records: the server as it started, its schemas, new-object defaults, initialisers and
  // observers kept, and the storage blocks too, for the next board. For a process that imports many
  // files into boards it then throws away.
  void Reset();

  // ---- what the host program observes
  HostObservers observers;
  ProgressRecord progress;
  std::vector<CommandRecord> commands;
  // Called after a board is opened so that the host can give it its default contents.
  std::vector<std::function<void(Model&, std::uint32_t board)>> board_initialisers;

  // ---- call trace (one line per host function call, when a sink is set)
  void SetTrace(std::FILE* sink) { trace_ = sink; }
  [[nodiscard]] bool Tracing() const { return trace_ != nullptr; }
  void TraceLine(std::string_view line);

 private:
  struct KindInfo {
    Layout layout;
    bool finalised = false;
    int layer_offset = -1;  // of the layer number in the record
    int point_count_slot = -1;
    std::vector<std::pair<std::string, double>> initial_numbers;
    std::vector<std::pair<std::string, std::string>> initial_texts;
    std::vector<std::uint32_t> initial_text_ids;  // per slot: the shared initial string, once made
    std::vector<std::uint8_t> initial_record;       // a new record's bytes; empty when all zero
    std::vector<std::size_t> text_and_outline_slots;  // slots a new object gets a text or outline in
  };
  struct Iterator {
    std::vector<std::uint32_t> items;
    std::size_t position = 0;
  };
  // One field of a function's record as a kind stores it: where the caller's pointer goes.
  struct FieldOp {
    std::uint32_t offset;
    std::uint32_t stride;
    std::uint16_t field;  // position of the pointer in the record
    std::uint16_t size;   // string capacity or byte count
    FieldType type;
  };
  // A function's fields for one kind, grouped by type (outlines last: their store reads the
  // PointCount stored before them), so that an exchange copies each group in a tight loop.
  struct FieldOps {
    bool ready = false;
    std::vector<FieldOp> ops;
    struct Run {
      FieldType type;
      std::uint16_t begin;
      std::uint16_t end;
    };
    std::vector<Run> runs;
  };
  // An outline's segments in the record arena, rewritten in place while they fit.
  struct Outline {
    std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;
  };
  // A string of the pool: its characters in the text arena, rewritten in place while they fit.
  // A shared string has capacity 0 and is never rewritten.
  struct Text {
    char* chars = nullptr;
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;
  };

  Object* Mutable(std::uint32_t handle) {
    if (handle == 0 || handle >= objects_.size() || !objects_[handle].alive) return nullptr;
    return &objects_[handle];
  }
  KindInfo& Finalise(std::uint8_t kind) {
    KindInfo& info = kinds_[kind];
    return info.finalised ? info : BuildLayout(kind);
  }
  KindInfo& BuildLayout(std::uint8_t kind);
  const FieldOps& OpsFor(int schema_id, std::uint8_t kind) {
    const std::size_t key = static_cast<std::size_t>(schema_id) * kKindCount + kind;
    if (key < field_ops_.size() && field_ops_[key].ready) return field_ops_[key];
    return BuildOps(schema_id, kind);
  }
  const FieldOps& BuildOps(int schema_id, std::uint8_t kind);
  // Copies numbers of one width between the caller's record and the object's storage.
  template <std::size_t kWidth>
  static void CopyFields(const FieldOp* first, const FieldOp* last, std::uint8_t* data, std::size_t instance,
                         void* const* pointers, bool load);
  // Layer identifiers, strings, byte blocks and outlines.
  void ExchangeField(const KindInfo& info, const Object& object, const FieldOp& op, std::uint8_t* place,
                     std::uint8_t* outside, bool load);
  Iterator* FindIterator(std::uint32_t iterator);
  std::uint32_t NewString(std::string_view text);
  // A string objects share until one of them writes its own (capacity 0 marks it).
  std::uint32_t NewSharedString(std::string_view text);
  void StoreString(std::uint8_t* place, std::string_view text);
  std::int32_t RefusedExchange(const Schema& schema, std::uint8_t dir, std::uint32_t handle, std::uint32_t index);
  std::int32_t ExchangeConstraint(int schema_id, std::uint8_t dir, std::uint32_t handle, Object& object,
                                  void* const* pointers);
  std::uint8_t LayerNumberOf(const Object& object) const;
  void Destroy(std::uint32_t handle);
  void LayerChanged(const Object& object, std::uint8_t old_layer);
  void Reindex(std::uint32_t container_handle, MemberList& list);
  // Marks the bucket of a member's kind and layer stale in the container's index and in the
  // indexes of the containers the container is in (they yield its members too).
  void MarkStale(std::uint32_t container_handle, std::uint16_t bucket);
  void MarkAllStale(std::uint32_t container_handle);
  std::uint32_t Yield(Iterator& iterator);

  std::vector<Schema> schemas_;
  std::vector<std::vector<std::uint8_t>> schema_kinds_;
  std::vector<KindInfo> kinds_;
  std::vector<FieldOps> field_ops_;  // schema id * kKindCount + kind
  ChunkedStore<Object> objects_;  // handle = index; index 0 is never used
  ByteArena records_;
  ChunkedStore<Text> strings_;  // id 0 is the shared empty string
  ByteArena texts_;
  std::vector<Outline> segments_;  // id 0 is the empty outline
  std::unordered_map<std::uint32_t, Iterator> iterators_;
  // The last destroyed iterator's map entry, with its item list's storage, for the next one:
  // iterators mostly come one at a time (one per kind and layer of a board iteration), so most
  // need no allocation.
  std::unordered_map<std::uint32_t, Iterator>::node_type spare_iterator_;
  std::uint32_t next_iterator_ = 0x40000001u;
  std::uint32_t last_iterator_ = 0;  // the iterator asked last, found without a lookup
  Iterator* last_iterator_state_ = nullptr;
  std::uint64_t revision_ = 0;
  std::vector<std::pair<std::string, std::uint32_t>> boards_;
  std::FILE* trace_ = nullptr;
};

// The one model of this server module (the host process has one PCB server), with every
// record schema of the server registered.
Model& Server();

// Registers the schemas of every host function of the server (schemas.cpp) and the defaults a
// new object or board holds.
void RegisterSchemas(Model& model);

// Whether an object belongs to a board's document: every live object made after the board was
// opened, boards excepted.
inline bool OfBoard(const Model& model, std::uint32_t board, std::uint32_t handle) {
  return handle > board && model.Alive(handle) && model.KindOf(handle) != kBoardKind;
}

}  // namespace orv
