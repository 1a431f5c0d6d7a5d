// TPCBObject: the plug-in's local copy of one host object's fields, and the root of the wrapper
// classes (host/pcb_objects.h). A wrapper never touches host memory: Load() copies the object's
// fields from the host, the caller edits the public fields, Store() copies them back. Freeing a
// wrapper never stores it.
//
//   TPcbTrack track(host::PcbApi_CreateObject(4));
//   track.Load();
//   track.X2 = 100000;
//   track.Store();
//
// A handle of 0 is tolerated everywhere: the host calls then do nothing and give 0.
#pragma once

#include <cstdint>

#include "host/api/vocabulary.h"
#include "host/short_string.h"

struct TRectangle {
  std::int32_t Left = 0;
  std::int32_t Bottom = 0;
  std::int32_t Right = 0;
  std::int32_t Top = 0;
};

// Keeps the first answer of a sequence of host calls that is not 0 ("done").
struct FirstResult {
  std::int32_t value = 0;
  void Take(std::int32_t result) {
    if (value == 0) value = result;
  }
};

class TPCBObject {
 public:
  // Wraps an existing host object; ObjectId is asked from the host (0 for a zero handle).
  explicit TPCBObject(std::uint32_t handle);
  virtual ~TPCBObject() = default;
  TPCBObject(const TPCBObject&) = delete;
  TPCBObject& operator=(const TPCBObject&) = delete;

  // Every field of the object from the host, or to it; returns 0 when the host did every call of
  // the exchange, else the first other answer (a load the host refused left the wrapper's fields
  // as they were).
  std::int32_t Load() { return Exchange(true); }
  std::int32_t Store() { return Exchange(false); }

  // The one transfer behind Load() and Store(), in the direction of the host's exchange functions
  // (true: from the host). The base moves the fields common to every primitive
  // (PcbApi_QueryPrimitive); each kind adds its own record.
  virtual std::int32_t Exchange(bool load);

  // Layer as a one-byte host layer number (layers the numbering cannot name are pinned to the
  // last number of their class), and set from one.
  [[nodiscard]] std::uint8_t LayerNumber() const;
  void SetLayerNumber(std::uint8_t number);

  // ---- host queries on the object
  [[nodiscard]] TRectangle BoundingRectangle() const;
  [[nodiscard]] bool PlacedByUser() const;  // the host says the object is not an import's
  void GraphicallyInvalidate() const;
  virtual void MoveBy(std::int32_t dx, std::int32_t dy);

  // ---- single bits of Flags, BitField2 and BitField3
  [[nodiscard]] bool FlagSet(std::uint16_t mask) const { return (Flags & mask) != 0; }
  void SetFlag(std::uint16_t mask, bool value);
  // Sets or clears the bit and stores the wrapper at once.
  void SetFlagAndStore(std::uint16_t mask, bool value);
  // For properties the host keeps inverted: true clears the bit. Stores at once.
  void SetFlagClearAndStore(std::uint16_t mask, bool value);
  [[nodiscard]] bool BitField2Set(int bit) const { return ((BitField2 >> bit) & 1u) != 0; }
  [[nodiscard]] bool BitField3Set(int bit) const { return ((BitField3 >> bit) & 1u) != 0; }
  void SetBitField3(int bit, bool value);
  [[nodiscard]] bool BitField3Bit1Or2() const { return BitField3Set(1) || BitField3Set(2); }
  void SetBitField3Bits1And2(bool value);
  // The two one-byte flags of pads and vias; false and no effect elsewhere.
  [[nodiscard]] virtual bool GetExtraFlag1() const { return false; }
  [[nodiscard]] virtual bool GetExtraFlag2() const { return false; }
  virtual void SetExtraFlag1(bool) {}
  virtual void SetExtraFlag2(bool) {}

  // ---- values that only some kinds have: 0, false or empty in the others
  [[nodiscard]] virtual std::int32_t GetSecondX() const { return X; }
  [[nodiscard]] virtual std::int32_t GetSecondY() const { return Y; }
  virtual void SetSecondX(std::int32_t) {}
  virtual void SetSecondY(std::int32_t) {}
  [[nodiscard]] virtual std::int32_t GetPolygonLink() const { return 0; }
  [[nodiscard]] virtual std::int32_t GetCoordinateLink() const { return 0; }
  [[nodiscard]] virtual std::int32_t GetDimensionLink() const { return 0; }
  virtual void SetPolygonLink(std::int32_t) {}
  virtual void SetCoordinateLink(std::int32_t) {}
  virtual void SetDimensionLink(std::int32_t) {}
  // Pad and net name; a component's designator text.
  [[nodiscard]] virtual ShortString<255> GetName() const { return {}; }
  [[nodiscard]] virtual double GetRotation() const { return 0; }
  virtual void SetRotation(double) {}
  [[nodiscard]] virtual std::int32_t GetLineWidth() const { return 0; }
  virtual void SetLineWidth(std::int32_t) {}
  [[nodiscard]] virtual std::int32_t GetSize() const { return 0; }  // via Size, text Height
  virtual void SetSize(std::int32_t) {}
  [[nodiscard]] virtual std::int32_t GetHoleSize() const { return 0; }
  virtual void SetHoleSize(std::int32_t) {}
  [[nodiscard]] virtual ShortString<255> GetTextString() const { return {}; }
  // Per-layer size and shape as the host has them (pads and vias); 0 elsewhere.
  virtual void GetSizeOnLayer(std::uint8_t layer, std::int32_t& x_size, std::int32_t& y_size) const;
  [[nodiscard]] virtual std::uint8_t GetShapeOnLayer(std::uint8_t layer) const;

  // ---- fields common to every object
  std::uint32_t Handle = 0;
  std::uint8_t ObjectId = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint16_t Flags = 0;
  std::uint8_t BitField2 = 0;
  std::uint8_t BitField3 = 0;
  std::uint16_t Index = 0;
  std::uint8_t Tag = 0;
  std::int32_t Net = 0;
  std::uint32_t Component = 0;
  std::uint32_t Layer = 0;  // layer identifier

 protected:
  TPCBObject(std::uint32_t handle, ObjectKind kind);
  // First step of every exchange: BitField2 then BitField3; the first answer that is not 0.
  std::int32_t ExchangeBitFields(std::uint8_t dir);
};
