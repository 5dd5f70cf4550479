#include "winlib/TControl.h"

#include <commctrl.h>

#include <mutex>
#include <vector>

namespace TCommonControls {

void Ensure()
{
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
    });
}

} // namespace TCommonControls

TControl::TControl(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height, TModule* module)
    : TWindow(parent, text, module)
{
    id_ = id;
    Attr().style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    Attr().x = x;
    Attr().y = y;
    Attr().width = width;
    Attr().height = height;
}

TStatic::TStatic(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height, TModule* module)
    : TControl(parent, id, text, x, y, width, height, module)
{
    Attr().style &= ~WS_TABSTOP;
}

// ---- TButton, TCheckBox ---------------------------------------------------------------

TButton::TButton(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height, TModule* module)
    : TControl(parent, id, text, x, y, width, height, module)
{}

void TButton::Click()
{
    SendMessage(BM_CLICK);
}

void TButton::SetButtonStyle(UINT style, bool redraw)
{
    SendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE);
}

bool TButton::IsDefault() const
{
    return (GetStyle() & 0x0F) == BS_DEFPUSHBUTTON;
}

void TButton::SetImage(HBITMAP bitmap)
{
    SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

UINT TButton::GetState() const
{
    return static_cast<UINT>(SendMessage(BM_GETSTATE));
}

UINT TCheckBox::GetCheck() const
{
    return static_cast<UINT>(SendMessage(BM_GETCHECK));
}

void TCheckBox::SetCheck(UINT state)
{
    SendMessage(BM_SETCHECK, state);
}

// ---- TComboBox ------------------------------------------------------------------------

int TComboBox::AddString(const wchar_t* text)
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int TComboBox::InsertString(const wchar_t* text, int index)
{
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int TComboBox::DeleteString(int index)
{
    return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
}

void TComboBox::ClearList()
{
    SendMessage(CB_RESETCONTENT);
}

int TComboBox::GetCount() const
{
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

std::wstring TComboBox::GetString(int index) const
{
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length < 0)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT read = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return read > 0 ? std::wstring(text.data(), static_cast<size_t>(read)) : std::wstring();
}

int TComboBox::GetSelIndex() const
{
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int TComboBox::SetSelIndex(int index)
{
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

// ---- TSlider --------------------------------------------------------------------------

void TSlider::SetRange(int minimum, int maximum, bool redraw)
{
    // The packed TBM_SETRANGE holds only 16-bit bounds.
    SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
    SendMessage(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

int TSlider::GetRangeMin() const
{
    return static_cast<int>(SendMessage(TBM_GETRANGEMIN));
}

int TSlider::GetRangeMax() const
{
    return static_cast<int>(SendMessage(TBM_GETRANGEMAX));
}

void TSlider::SetPosition(int position, bool redraw)
{
    SendMessage(TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

int TSlider::GetPosition() const
{
    return static_cast<int>(SendMessage(TBM_GETPOS));
}

void TSlider::SetRuler(int tickGap, bool snap)
{
    snap_ = snap;
    tickGap_ = tickGap;
    SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(tickGap));
}

void TSlider::SetPageSize(int size)
{
    SendMessage(TBM_SETPAGESIZE, 0, size);
}

int TSlider::GetPageSize() const
{
    return static_cast<int>(SendMessage(TBM_GETPAGESIZE));
}

void TSlider::SetLineSize(int size)
{
    SendMessage(TBM_SETLINESIZE, 0, size);
}

void TSlider::ChildScrolled(UINT code)
{
    if (!snap_ || tickGap_ <= 0 || code == TB_ENDTRACK)
        return;
    const int minimum = GetRangeMin();
    const int offset = GetPosition() - minimum;
    int snapped = minimum + (offset + tickGap_ / 2) / tickGap_ * tickGap_;
    if (snapped > GetRangeMax())
        snapped = GetRangeMax();
    SetPosition(snapped);
}

// ---- TUpDown --------------------------------------------------------------------------

void TUpDown::SetRange(int lower, int upper)
{
    SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void TUpDown::GetRange(int& lower, int& upper) const
{
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}

int TUpDown::SetPos(int position)
{
    return static_cast<int>(SendMessage(UDM_SETPOS32, 0, position));
}

int TUpDown::GetPos() const
{
    return static_cast<int>(SendMessage(UDM_GETPOS32));
}

void TUpDown::SetBuddy(HWND buddy)
{
    SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy));
}

HWND TUpDown::GetBuddy() const
{
    return reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY));
}

// ---- TTabControl ----------------------------------------------------------------------

int TTabControl::Add(const wchar_t* label)
{
    return Insert(label, GetCount());
}

int TTabControl::Insert(const wchar_t* label, int index)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(label ? label : L"");
    return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

bool TTabControl::Delete(int index)
{
    return SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
}

bool TTabControl::DeleteAll()
{
    return SendMessage(TCM_DELETEALLITEMS) != 0;
}

int TTabControl::GetCount() const
{
    return static_cast<int>(SendMessage(TCM_GETITEMCOUNT));
}

std::wstring TTabControl::GetItemText(int index, int maxChars) const
{
    std::vector<wchar_t> text(static_cast<size_t>(maxChars > 0 ? maxChars : 1) + 1, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    if (!SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) || !item.pszText)
        return std::wstring();
    return std::wstring(item.pszText);
}

bool TTabControl::SetItemText(int index, const wchar_t* label)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(label ? label : L"");
    return SendMessage(TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

int TTabControl::GetSel() const
{
    return static_cast<int>(SendMessage(TCM_GETCURSEL));
}

int TTabControl::SetSel(int index)
{
    return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index)));
}

int TTabControl::SetMinTabWidth(int width)
{
    return static_cast<int>(SendMessage(TCM_SETMINTABWIDTH, 0, width));
}
