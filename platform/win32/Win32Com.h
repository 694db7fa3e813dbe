// Owned references to COM objects, and COM on the backend's own threads.
#pragma once

#include <windows.h>

#include <objbase.h>

namespace platform::win32 {

// Releases the object it holds when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

    // Where a creating call writes the new object; what was held is released first.
    T** put()
    {
        reset();
        return &object;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    void reset()
    {
        if (object != nullptr)
            object->Release();
        object = nullptr;
    }

private:
    T* object = nullptr;
};

// COM in the multithreaded apartment for the life of the object, on the
// thread that made it.
class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT status() const { return result; }

private:
    HRESULT result;
};

} // namespace platform::win32
