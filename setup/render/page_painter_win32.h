#pragma once
// Paints the page text of the tab that the tab control shows, straight onto the tab control.
#include <windows.h>

#include <cstdint>

#include "configuration/setup_dialog_record.h"
#include "platform/ports.h"
#include "render/page_text.h"

// Draws text page `currentTextPage` of the text of page `currentTab` into the display area of the
// tab control whose selected label `draw` paints, within the region that paint may change, and
// returns the number of text pages (0, after invalidating the display area, when `currentTab` is
// none of the four pages). `installed` is the dialog's installation flag; `reported` holds the
// texts whose faults were reported, kept by the caller from paint to paint so that a malformed text
// raises one box.
int32_t PaintPageText(const DRAWITEMSTRUCT& draw, const SetupDialog& record, bool installed, ReportedTexts& reported,
                      Strings& strings, Messages& messages);
