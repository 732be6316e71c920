#include "app/ui_effects.h"

#include <cstring>

void ClearEffects(UiEffects* fx) { memset(fx, 0, sizeof *fx); }

void AddMenuChange(UiEffects* fx, uint16_t id, uint8_t action) {
    if (fx->menuCount < kMaxMenuChanges) fx->menu[fx->menuCount++] = MenuChange{id, action};
}

void AddMenuChanges(UiEffects* fx, const uint16_t* ids, int count, uint8_t action) {
    for (int i = 0; i < count; ++i) AddMenuChange(fx, ids[i], action);
}

void SetStatusText(UiEffects* fx, int part, const char* text) {
    StatusChange& s = fx->status[part];
    s.set = true;
    size_t n = strlen(text);
    if (n >= sizeof s.text) n = sizeof s.text - 1;
    memcpy(s.text, text, n);
    s.text[n] = '\0';
}

int LastMenuAction(const UiEffects& fx, uint16_t id) {
    for (int i = fx.menuCount - 1; i >= 0; --i) {
        if (fx.menu[i].id == id) return fx.menu[i].action;
    }
    return -1;
}
