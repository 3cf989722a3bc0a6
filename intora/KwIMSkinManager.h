// The process-wide registry of named skin bitmaps shared by the skinned controls.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "ui/Classes.h"

// Sent (both parameters 0) to a windowed client when its manager's picture has changed.
constexpr unsigned MSG_SKIN_CHANGED = 3033;

// One shared bitmap and the controls that draw from it.
class TKwSkinManager : public ui::TPersistent {
public:
  TKwSkinManager();
  ~TKwSkinManager() override;

  const std::vector<ui::TControl*>& Clients() const { return Clients_; }
  ui::TBitmap& Bitmap() { return *Bitmap_; }

  void AddClient(ui::TControl* Control);     // once per control
  void RemoveClient(ui::TControl* Control);  // nothing when it is no client
  void SetBitmap(const ui::TBitmap& Source); // a copy; counts as a change
  void Assign(const ui::TPersistent* Source) override;
  const char* ClassName() const override { return "TKwSkinManager"; }

private:
  void BitmapChanged();

  std::vector<ui::TControl*> Clients_;
  ui::TBitmap* Bitmap_;
};

// Skin names, matched without regard to case, each with the manager it owns.
class TKwSkinManagers : public ui::TObject {
public:
  TKwSkinManagers() = default;
  ~TKwSkinManagers() override;  // frees the managers from the last to the first
  TKwSkinManagers(const TKwSkinManagers&) = delete;
  TKwSkinManagers& operator=(const TKwSkinManagers&) = delete;

  TKwSkinManager* Find(const std::string& SkinName) const;
  // Registers a new manager under SkinName (as written) when there is none; loads nothing.
  TKwSkinManager* FindOrCreate(const std::string& SkinName, bool& Created);

  int Count() const { return static_cast<int>(Managers.size()); }
  const std::string& Name(int index) const { return Managers[index].first; }

protected:
  virtual TKwSkinManager* NewManager() { return new TKwSkinManager(); }

private:
  std::vector<std::pair<std::string, TKwSkinManager*>> Managers;
};

// The registry of the program: made before any window, freed at shutdown (null from then on).
extern TKwSkinManagers* SkinManagers;
