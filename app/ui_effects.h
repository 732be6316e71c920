// What a core operation wants done to the menu, the status bar and the list.
// The core decides; the Win32 layer only applies the changes in their order.
#pragma once

#include <cstdint>

enum MenuAction : uint8_t {
    kMenuEnable,
    kMenuGray,
    kMenuCheck,
    kMenuUncheck,
};

struct MenuChange {
    uint16_t id;
    uint8_t action;
};

constexpr int kMaxMenuChanges = 32;
constexpr int kStatusParts = 3;
constexpr int kStatusTextSize = 128;

struct StatusChange {
    bool set;
    char text[kStatusTextSize];
};

struct UiEffects {
    MenuChange menu[kMaxMenuChanges];
    int menuCount;
    StatusChange status[kStatusParts];
    bool resetList;      // empty the list box
};

void ClearEffects(UiEffects* fx);
void AddMenuChange(UiEffects* fx, uint16_t id, uint8_t action);
void AddMenuChanges(UiEffects* fx, const uint16_t* ids, int count, uint8_t action);
void SetStatusText(UiEffects* fx, int part, const char* text);
// The last change recorded for an item, or -1 when the item was not touched.
int LastMenuAction(const UiEffects& fx, uint16_t id);
