#pragma once
// Base of the control classes: a child window bound to a template item of its parent by
// control id, or created by the object with a position and size in parent pixels.

#include "winlib/TWindow.h"

class TControl : public TWindow {
protected:
    TControl(TWindow* parent, int resourceId, TModule* module) : TWindow(parent, resourceId, module) {}
    TControl(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height, TModule* module);
};

// Static text.
class TStatic : public TControl {
public:
    TStatic(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}
    TStatic(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height,
            TModule* module = nullptr);

    void SetText(const wchar_t* text) { SetWindowText(text); }
    void SetText(const std::wstring& text) { SetWindowText(text); }
    std::wstring GetText() const { return GetWindowText(); }

protected:
    const wchar_t* GetWindowClassName() const override { return L"STATIC"; }
};

// Push button.
class TButton : public TControl {
public:
    TButton(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}
    TButton(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height,
            TModule* module = nullptr);

    // Clicks it as the user does: the parent gets the clicked command.
    void Click();
    // The button style (BS_PUSHBUTTON, BS_DEFPUSHBUTTON, ...), as BM_SETSTYLE sets it.
    void SetButtonStyle(UINT style, bool redraw = true);
    bool IsDefault() const;
    void SetImage(HBITMAP bitmap);
    UINT GetState() const;

protected:
    const wchar_t* GetWindowClassName() const override { return L"BUTTON"; }
};

// Check box (two or three states).
class TCheckBox : public TButton {
public:
    TCheckBox(TWindow* parent, int resourceId, TModule* module = nullptr) : TButton(parent, resourceId, module) {}

    UINT GetCheck() const;
    void SetCheck(UINT state);
    bool IsChecked() const { return GetCheck() == BST_CHECKED; }
    void Check() { SetCheck(BST_CHECKED); }
    void Uncheck() { SetCheck(BST_UNCHECKED); }
    void Toggle() { SetCheck(IsChecked() ? BST_UNCHECKED : BST_CHECKED); }
};

// Combo box, used as a drop-down list.
class TComboBox : public TControl {
public:
    TComboBox(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}

    // The new item's index, or a negative value when it could not be added.
    int AddString(const wchar_t* text);
    int AddString(const std::wstring& text) { return AddString(text.c_str()); }
    int InsertString(const wchar_t* text, int index);
    int DeleteString(int index);
    void ClearList();
    int GetCount() const;
    std::wstring GetString(int index) const;
    // The selected item's index, or -1 when none is.
    int GetSelIndex() const;
    // Selects an item (-1: none) without notifying the parent, as the control does.
    int SetSelIndex(int index);

protected:
    const wchar_t* GetWindowClassName() const override { return L"COMBOBOX"; }
};

// Horizontal track bar.
class TSlider : public TControl {
public:
    TSlider(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}

    void SetRange(int minimum, int maximum, bool redraw = true);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPosition(int position, bool redraw = true);
    int GetPosition() const;
    // A tick every tickGap positions; with snap set, positions move to the nearest tick.
    void SetRuler(int tickGap, bool snap = false);
    bool GetSnap() const { return snap_; }
    void SetPageSize(int size);
    int GetPageSize() const;
    void SetLineSize(int size);

protected:
    const wchar_t* GetWindowClassName() const override { return L"msctls_trackbar32"; }
    // With snapping on, a moved thumb goes to the nearest tick.
    void ChildScrolled(UINT code) override;

private:
    // The control knows neither snapping nor reports its tick gap.
    bool snap_ = false;
    int tickGap_ = 1;
};

// Up-down control; its position-change requests (UDN_DELTAPOS) go to the parent.
class TUpDown : public TControl {
public:
    TUpDown(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}

    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    // Returns the previous position.
    int SetPos(int position);
    int GetPos() const;
    void SetBuddy(HWND buddy);
    HWND GetBuddy() const;

protected:
    const wchar_t* GetWindowClassName() const override { return L"msctls_updown32"; }
};

// Tab control; its selection-change notice (TCN_SELCHANGE) goes to the parent.
class TTabControl : public TControl {
public:
    TTabControl(TWindow* parent, int resourceId, TModule* module = nullptr) : TControl(parent, resourceId, module) {}

    // Adds a tab after the last one; returns its index or -1.
    int Add(const wchar_t* label);
    int Add(const std::wstring& label) { return Add(label.c_str()); }
    int Insert(const wchar_t* label, int index);
    bool Delete(int index);
    bool DeleteAll();
    int GetCount() const;
    // The tab's label, read with room for at most maxChars characters.
    std::wstring GetItemText(int index, int maxChars = 128) const;
    bool SetItemText(int index, const wchar_t* label);
    bool SetItemText(int index, const std::wstring& label) { return SetItemText(index, label.c_str()); }
    int GetSel() const;
    // Selects a tab without notifying the parent, as the control does; returns the previous.
    int SetSel(int index);
    // Returns the previous minimum width.
    int SetMinTabWidth(int width);

protected:
    const wchar_t* GetWindowClassName() const override { return L"SysTabControl32"; }
};

namespace TCommonControls {
// Registers the common control classes that templates of this library use, once.
void Ensure();
} // namespace TCommonControls
