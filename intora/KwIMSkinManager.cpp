#include "KwIMSkinManager.h"

#include <windows.h>

#include <algorithm>

TKwSkinManagers* SkinManagers = nullptr;

// --- TKwSkinManager -------------------------------------------------------------------

TKwSkinManager::TKwSkinManager() : Bitmap_(new ui::TBitmap()) {
  Bitmap_->OnChange = [this] { BitmapChanged(); };
}

TKwSkinManager::~TKwSkinManager() {
  Clients_.clear();
  delete Bitmap_;
}

void TKwSkinManager::AddClient(ui::TControl* Control) {
  if (std::find(Clients_.begin(), Clients_.end(), Control) == Clients_.end())
    Clients_.push_back(Control);
}

void TKwSkinManager::RemoveClient(ui::TControl* Control) {
  auto it = std::find(Clients_.begin(), Clients_.end(), Control);
  if (it != Clients_.end()) Clients_.erase(it);
}

void TKwSkinManager::SetBitmap(const ui::TBitmap& Source) { Bitmap_->Assign(Source); }

void TKwSkinManager::Assign(const ui::TPersistent* Source) {
  auto* source = dynamic_cast<const TKwSkinManager*>(Source);
  if (!source) {
    ui::TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  Clients_.clear();
  SetBitmap(*source->Bitmap_);
  Clients_.insert(Clients_.end(), source->Clients_.begin(), source->Clients_.end());
}

void TKwSkinManager::BitmapChanged() {
  const size_t count = Clients_.size();
  // The bound also guards against a client that leaves while it is being told.
  for (size_t i = 0; i < count && i < Clients_.size(); ++i) {
    ui::TControl* client = Clients_[i];
    if (client->IsWindowed()) {
      auto* windowed = static_cast<ui::TWinControl*>(client);
      if (windowed->HandleAllocated()) SendMessageA(windowed->Handle(), MSG_SKIN_CHANGED, 0, 0);
    } else {
      client->Invalidate();
    }
  }
}

// --- TKwSkinManagers ------------------------------------------------------------------

TKwSkinManagers::~TKwSkinManagers() {
  while (!Managers.empty()) {
    delete Managers.back().second;
    Managers.pop_back();
  }
}

TKwSkinManager* TKwSkinManagers::Find(const std::string& SkinName) const {
  for (const auto& entry : Managers) {
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry.first.data(),
                       static_cast<int>(entry.first.size()), SkinName.data(),
                       static_cast<int>(SkinName.size())) == CSTR_EQUAL)
      return entry.second;
  }
  return nullptr;
}

TKwSkinManager* TKwSkinManagers::FindOrCreate(const std::string& SkinName, bool& Created) {
  Created = false;
  TKwSkinManager* result = Find(SkinName);
  if (!result) {
    result = NewManager();
    Managers.emplace_back(SkinName, result);
    Created = true;
  }
  return result;
}

// --- Unit start and end ---------------------------------------------------------------

namespace {
struct SkinManagersLifetime {
  SkinManagersLifetime() {
    if (!SkinManagers) SkinManagers = new TKwSkinManagers();
  }
  ~SkinManagersLifetime() {
    if (TKwSkinManagers* registry = SkinManagers) {
      SkinManagers = nullptr;
      delete registry;
    }
  }
} skinManagersLifetime;
}  // namespace
