#pragma once
// Object roots and the string list of the runtime layer.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/SysUtils.h"

/// Root of the class tree: a virtual destructor and a class name (the
/// display name of a plain collection item is its class name).
class TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

/// An object that can be copied into another with Assign. Assign asks the
/// source to AssignTo the destination when it does not know the source.
class TPersistent : public TObject {
 public:
  std::string ClassName() const override { return "TPersistent"; }
  virtual void Assign(const TPersistent& source);

 protected:
  friend class TStringList;
  virtual void AssignTo(TPersistent& dest) const;
  /// Raises the conversion error "Cannot assign a %s to a %s".
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

/// The start of an Assign override in a class Self whose parent is Base: the
/// source as a Self, or nullptr where there is nothing more to do, the source
/// being no Self (it has then gone to Base::Assign, which may ask it to
/// AssignTo) or the object itself.
template <class Base, class Self>
const Self* AssignSource(Self& self, const TPersistent& source) {
  const auto* other = dynamic_cast<const Self*>(&source);
  if (other == nullptr) self.Base::Assign(source);
  return other == &self ? nullptr : other;
}

using TNotifyEvent = std::function<void(TObject* sender)>;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

/// Ordered 8-bit strings, each with an attached (not owned) object.
/// Capacity grows through the virtual SetCapacity so that a derived list
/// can refuse growth; change notices are held back inside BeginUpdate/EndUpdate.
class TStringList : public TPersistent {
 public:
  TStringList() = default;
  TStringList(const TStringList& other);
  TStringList& operator=(const TStringList& other);
  ~TStringList() override = default;
  std::string ClassName() const override { return "TStringList"; }

  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void SetStrings(int index, const std::string& s);
  TObject* Objects(int index) const;
  void SetObjects(int index, TObject* object);

  int Capacity() const { return FCapacity; }
  virtual void SetCapacity(int newCapacity);
  /// Storage for Count items, so that adding up to them moves no string;
  /// the list's Capacity (and any bound on it) is unchanged.
  void ReserveStorage(int count);

  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  void AddStrings(const TStringList& strings);
  void Append(const std::string& s) { Add(s); }
  virtual void Insert(int index, const std::string& s);
  void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index);
  virtual void Clear();
  void Move(int curIndex, int newIndex);
  void Exchange(int index1, int index2);

  /// Index of the first equal string (honouring CaseSensitive), or -1.
  virtual int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* object) const;
  /// Binary search on a sorted list: true and the index when found, else the insertion point.
  bool Find(const std::string& s, int& index) const;
  void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);

  /// The strings joined with CR LF after each one; SetText splits at CR LF,
  /// lone CR or lone LF (no empty string for a final line break).
  std::string Text() const;
  void SetText(std::string_view text);

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  void Assign(const TPersistent& source) override;
  bool Equals(const TStringList& other) const;

 protected:
  virtual void Changed();
  virtual void Changing();
  int CompareStrings(const std::string& a, const std::string& b) const;
  void InsertItem(int index, const std::string& s, TObject* object);
  [[noreturn]] void Error(const char* message, int data) const;

 private:
  struct Item {
    std::string string;
    TObject* object = nullptr;
  };
  void Grow();
  void CheckIndex(int index) const;

  std::vector<Item> FItems;
  int FCapacity = 0;
  int FUpdateCount = 0;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

/// The name the rest of the code uses for "any string list".
using TStrings = TStringList;
