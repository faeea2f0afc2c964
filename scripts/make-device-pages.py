#!/usr/bin/env python3
"""Writes the four device page layouts under data/skin/XML/DeviceXml/.

The pages share one frame (device picture in a select panel, the function
panels later pages fill); only the picture differs. Run it again after
changing the frame; the output is committed.
"""
import os

OUT = os.path.join(os.path.dirname(__file__), "..", "data", "skin", "XML", "DeviceXml")

# A key cap, or a round light zone: the picture when dark, and the part the
# key's live light colour shows through.
KEY_IMAGES = ('normalimage="file=\'image/keycap.png\' corner=\'8,8,8,8\'" '
              'lightimage="file=\'image/keycap_light.png\' corner=\'8,8,8,8\'" '
              'keysetimage="file=\'image/keyset_mark.png\' dest=\'3,3,9,9\'"')
LED_IMAGES = 'normalimage="image/led.png" lightimage="image/led_light.png"'
BUTTON = ('      <DeviceKeyButton name="{name}" userdata="{data}" float="true" '
          'pos="{l},{t},{r},{b}" {images}/>')

# The keyboard's rows: each item is a page key position (its factory code
# in the keyboard's key table), (position, width in key units), or a gap
# ("gap", units). Positions the keyboard gives to keys this picture does not
# have (Japanese and Korean keys, the unnamed codes) are left out; M1-M5 are
# a column of their own on the left. Num + and Num Enter are two rows tall.
KEYBOARD_ROWS = [
    [("gap", 1.25), 0, ("gap", 1), 1, 2, 3, 4, ("gap", 0.5), 5, 6, 7, 8, ("gap", 0.5), 9, 10, 11,
     12, ("gap", 0.25), 13, 14, 15, ("gap", 0.25), 16, 17],
    [120, ("gap", 0.25), 21] + list(range(22, 34)) + [(34, 2), ("gap", 0.25), 35, 36, 37,
                                                        ("gap", 0.25), 38, 39, 40, 41],
    [121, ("gap", 0.25), (42, 1.5)] + list(range(43, 55)) + [(55, 1.5), ("gap", 0.25), 56, 57, 58,
                                                               ("gap", 0.25), 59, 60, 61, 119],
    [122, ("gap", 0.25), (63, 1.75)] + list(range(64, 75)) + [62, (75, 1.25), ("gap", 3.5), 76, 77,
                                                               78],
    [123, ("gap", 0.25), (84, 1.25), 102] + list(range(85, 95)) + [(95, 2.75), ("gap", 1.25), 96,
                                                                     ("gap", 1.25), 97, 98, 99,
                                                                     118],
    [124, ("gap", 0.25), (105, 1.25), (106, 1.25), (107, 1.25), (108, 6.25), 109, 125, 110, 111,
     112, ("gap", 0.25), 113, 114, 115, ("gap", 0.25), (116, 2), 117],
]
TALL_KEYS = {118, 119}
KEYBOARD_UNITS = 23.75  # the widest row, in key units
PANEL_WIDTH = 928


def keyboard_buttons():
    unit, top, lines = 32, 14, []
    left = (PANEL_WIDTH - KEYBOARD_UNITS * unit) / 2
    for row, items in enumerate(KEYBOARD_ROWS):
        x = left
        y = top + row * (unit + 4) + (6 if row > 0 else 0)
        for item in items:
            if isinstance(item, tuple) and item[0] == "gap":
                x += item[1] * unit
                continue
            position, width = item if isinstance(item, tuple) else (item, 1)
            w = width * unit - 4
            h = (2 * (unit + 4) if position in TALL_KEYS else unit) - 4
            lines.append(BUTTON.format(name=f"key_{position}", data=f"light_{position}",
                                       l=int(x), t=int(y), r=int(x + w), b=int(y + h),
                                       images=KEY_IMAGES))
            x += width * unit
    return lines


def ring_buttons(count, prefix, cx, cy, rx, ry, size):
    import math
    lines = []
    for i in range(count):
        angle = 2 * math.pi * i / count - math.pi / 2
        x, y = cx + rx * math.cos(angle), cy + ry * math.sin(angle)
        lines.append(BUTTON.format(name=f"{prefix}_{i}", data=f"light_{i}", l=int(x - size / 2),
                                   t=int(y - size / 2), r=int(x + size / 2), b=int(y + size / 2),
                                   images=LED_IMAGES))
    return lines


def mouse_buttons():
    # 11 keys around the body, 15 light zones along its edge.
    keys = [(300, 40, 350, 110), (380, 40, 430, 110), (352, 60, 378, 92), (270, 120, 296, 150),
            (270, 155, 296, 185), (352, 100, 378, 118), (352, 122, 378, 140), (434, 120, 460, 150),
            (434, 155, 460, 185), (330, 196, 400, 212), (352, 24, 378, 36)]
    lines = [BUTTON.format(name=f"ms_key_{i}", data=f"key_{i}", l=l, t=t, r=r, b=b,
                           images=KEY_IMAGES)
             for i, (l, t, r, b) in enumerate(keys)]
    return lines + ring_buttons(15, "ms_light", 365, 120, 130, 96, 14)


PAGE = """<?xml version="1.0" encoding="utf-8"?>
<!-- The {what} page: its picture and the panels its editors fill. -->
<{tag} name="{kind}_page" inset="18,14,18,14">
  <VerticalLayout childpadding="12">
    <HorizontalLayout height="32" childpadding="10">
      <Label name="{kind}_page_title" text="{title}" font="4" textcolor="#FFE8EAF0" autowidth="true"/>
      <DeviceProfileUI/>
    </HorizontalLayout>
    <SelectPanel name="{kind}_select_panel" height="{height}" bkcolor="#FF171A21"{picture}
                 borderround="12">
{buttons}
    </SelectPanel>
    <!-- The editors, as the page function chooses them: the first tab holds
         lighting, keys and the receiver devices' system panel. -->
    <TabLayout name="device_function_switch" bkcolor="#FF171A21" borderround="12"
               inset="14,12,14,12">
      <TabLayout name="device_key_function_switch">
        <VerticalLayout name="light_panel">{light_page}</VerticalLayout>
        <VerticalLayout name="key_assign_panel">{key_page}</VerticalLayout>
        <VerticalLayout name="wireless_system_panel"/>
      </TabLayout>
      <VerticalLayout name="macro_panel">{macro_page}</VerticalLayout>
      <VerticalLayout name="pointer_panel"/>
      <VerticalLayout name="system_panel">{system_page}</VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</{tag}>
"""


# The device drawn behind its keys and light zones (none for the keyboard,
# whose keys are the picture).
PICTURES = {
    "mouse": "file='image/mouse_body.png' dest='286,18,444,218'",
    "mousepad": "file='image/pad_surface.png' dest='60,30,670,202'",
    "headset": "file='image/headset_shape.png' dest='285,30,445,206'",
}


def write(file, **fields):
    fields["buttons"] = "\n".join(fields["buttons"])
    fields.setdefault("key_page", "")
    fields.setdefault("light_page", "")
    fields.setdefault("macro_page", "")
    fields.setdefault("system_page", "")
    picture = PICTURES.get(fields["kind"])
    fields["picture"] = f'\n                 bkimage="{picture}"' if picture else ""
    with open(os.path.join(OUT, file), "w", encoding="utf-8") as out:
        out.write(PAGE.format(**fields))


def main():
    os.makedirs(OUT, exist_ok=True)
    write("keyboarddevice.xml", what="keyboard", tag="ZentrelKeyboardDevice", kind="keyboard",
          title="kb_device_name_text", height=232, buttons=keyboard_buttons(),
          key_page="<KeySetControlUI/>", light_page="<LightSetControlUI/>",
          macro_page="<MacroSetControlUI/>")
    write("mousedevice.xml", what="mouse", tag="ZentrelMouseDevice", kind="mouse",
          title="ms_device_name_text", height=232, buttons=mouse_buttons(),
          macro_page="<MacroSetControlUI/>", system_page="<MouseSensitivityUI/>")
    write("mousepaddevice.xml", what="mouse pad", tag="ZentrelMousePadDevice", kind="mousepad",
          title="hard_mp_device_name_text", height=232,
          buttons=ring_buttons(15, "mp_light", 365, 116, 300, 92, 16))
    write("hs6533device.xml", what="headset", tag="ZentrelHS6533Device", kind="headset",
          title="hd_device_name_text", height=232,
          buttons=ring_buttons(13, "hd_light", 365, 116, 90, 90, 16))


if __name__ == "__main__":
    main()
