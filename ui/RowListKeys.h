#pragma once
// The keys of the files pages' lists: Ctrl+C copies the rows' text (owned by
// the page), Ctrl+A selects every row; other keys do nothing.
#include "win/ListView.h"

#include <functional>
#include <string>

void OnRowListKey(HWND page, const win::ListView& list, const NMLVKEYDOWN& key,
                  const std::function<std::wstring()>& rowsText);
