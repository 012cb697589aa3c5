// Numbered handles for objects owned by a table: 0 is never a handle, numbers are not
// reused while the program runs, so a stale handle finds nothing.
#pragma once

#include <memory>
#include <unordered_map>

#include "toolkit/graphics/Gdi.h"

template <class T> class THandleTable {
public:
    THandle Add(std::unique_ptr<T> Object) {
        const THandle handle = ++FLast;
        FObjects.emplace(handle, std::move(Object));
        return handle;
    }
    T* Find(THandle Handle) const {
        auto it = FObjects.find(Handle);
        return it == FObjects.end() ? nullptr : it->second.get();
    }
    bool Remove(THandle Handle) { return FObjects.erase(Handle) > 0; }
    std::size_t Count() const { return FObjects.size(); }

private:
    std::unordered_map<THandle, std::unique_ptr<T>> FObjects;
    THandle FLast = 0;
};
