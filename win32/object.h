#pragma once
// The one way from a window handle to the object behind it.
//
// A window of this front end's own classes that has an object (a form window, its hidden owner,
// a grid) is made with that object as lpCreateParams. Its class's window procedure keeps it in
// GWLP_USERDATA at WM_NCCREATE (adopt), and objectOf finds it again from the handle alone, after
// checking that the window is of that class. A control of any other kind (a button, box, label,
// combo box or a combo box's edit, a container) has no object of its own: it is a slot of the form
// window at its root, named by its control id (FormWindow::of, FormWindow::controlIndexOf).
#include <windows.h>

namespace tessmar::win32 {

// In a class's window procedure: the window's object, kept from lpCreateParams at WM_NCCREATE;
// nullptr before that.
template <class T>
T* adopt(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The object of a window whose class has that window procedure; nullptr for any other window.
template <class T>
T* objectOf(HWND window, WNDPROC classProcedure) {
    if (!window ||
        reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) != classProcedure)
        return nullptr;
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace tessmar::win32
