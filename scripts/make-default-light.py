#!/usr/bin/env python3
"""Writes data/DefaultData/default_light.json: the built-in light effects and
light areas of every device kind (arrays by kind number: 0 keyboard, 1 mouse,
2 mouse pad, 3 headset).

An effect's "value" is the code the device's firmware (and the virtual
devices) use for it. The keyboard's codes are the light engine's mode
numbers; the list position is the page's effect number, so position and code
agree. Places that the effect tables leave unused stay in the list, hidden.
Run by hand after changing a list; the JSON is committed. Display texts are
the language files' "light_effect_*" and "light_area_*" entries.
"""
import json
import sys
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "data" / "DefaultData" / "default_light.json"

KEYBOARD = ["none", "wave", "flow", "snake", "spectrum", "breathing", "static", "reactive_fade",
            "ripple", "line_ripple", "sparkle", "rainbow_keys", "row_wave", "centre_ripple",
            "showcase", "twinkle", "side_ripple", "profile_colour", "rings", "custom", "none",
            "scan", "slow_twinkle", "blink", "pattern", "reactive", "breathing_four",
            "blink_four", "off", "music", "host"]
MOUSE = ["wave", "spectrum", "breathing", "static", "blink", "flow", "reactive",
         "breathing_four", "blink_four", "off"]
# The pad and the headset offer effects 0-4 and 8; 5-7 are unused places.
PAD = ["wave", "spectrum", "breathing", "static", "blink", "none", "none", "none", "off"]

AREAS = [[], ["logo", "wheel", "strip"], ["edge"], ["earcups"]]


def effects(names):
    return [{"LightName": "light_effect_" + name, "visible": name != "none", "value": code}
            for code, name in enumerate(names)]


def main():
    root = {
        "DefaultLightName": [effects(KEYBOARD), effects(MOUSE), effects(PAD), effects(PAD)],
        "AreaLightName": [[{"LightName": "light_area_" + a} for a in areas] for areas in AREAS],
    }
    OUT.write_text(json.dumps(root, indent=3, ensure_ascii=False) + "\n", encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
