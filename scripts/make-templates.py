#!/usr/bin/env python3
"""Writes the profile templates under data/DefaultData/ (one per device kind).

Also the four recoil patterns (ShootData_<g>.Shoot). The keyboard's key
list is the factory code of its 126 page keys, the
mouse's that of its eleven buttons (both taken from
src/devices/PageKeyDefaults.h). Later parts
of the program add their sections here. Run it again after a change; the
output is committed.
"""
import json
import re
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
OUT = ROOT / "data" / "DefaultData"

def page_keys(table_name, count):
    text = (ROOT / "src" / "devices" / "PageKeyDefaults.h").read_text()
    table = text[text.index(table_name):]
    table = table[:table.index("}};")]
    codes = re.findall(r"\{(0x[0-9a-fA-F]+|\d+), (0x[0-9a-fA-F]+|\d+), (0x[0-9a-fA-F]+|\d+)\}", table)
    keys = [tuple(int(v, 0) for v in code) for code in codes]
    assert len(keys) == count, len(keys)
    return keys


def key_list(keys):
    packed = [t * 65536 + p1 * 256 + p2 for t, p1, p2 in keys]
    return [{"Assignment": p, "DefaultAssignment": p} for p in packed]


def light_info(mode):
    return {"SelectItem": mode, "Light": 4, "Speed": 2, "MultiColor": 1, "Red": 255,
            "Green": 0, "Blue": 0, "Fx": 0, "ZZCCLedMode": 0, "CustomGroup": 0, "OldLedmode": 0}


def light_list(count):
    # No LED has a light of its own at first: every one shows the effect.
    # (An entry's mode 0 would breathe that LED over any effect.)
    return [None] * count


def dpi_stage(value, colour):
    red, green, blue = colour
    return {"StageActive": 1, "StageXY": 0, "StageDPIX": value, "StageDPIY": value,
            "StageColorR": red, "StageColorG": green, "StageColorB": blue}


def write(name, section):
    root = {"profilename": "profile1", "profileUUID": "", "Device": [section]}
    (OUT / f"{name}.Json").write_text(json.dumps(root, indent=3, ensure_ascii=False) + "\n")


# The four shipped recoil patterns (guns): for each of 30 bullets its
# horizontal correction (negative: left), vertical one (positive: down) and
# the time to the next shot. From a steady rifle to a kicking pistol.
GUNS = [
    # rifle, 600 rounds a minute: climbs, then sways a little
    [(0 if b < 8 else (1 if b % 4 < 2 else -1), min(2 + b // 2, 6), 100) for b in range(30)],
    # submachine gun, 900 a minute: light and straight
    [(0, 2 if b < 15 else 3, 67) for b in range(30)],
    # machine gun, 750 a minute: heavy, drifting right
    [(1 if b >= 10 and b % 3 == 0 else 0, 4, 80) for b in range(30)],
    # pistol: a strong first kick, then steady
    [(0, 7 if b == 0 else 3, 150) for b in range(30)],
]


def gun_events(bullets):
    events = []
    for horizontal, vertical, delay in bullets:
        side = "down" if horizontal < 0 else "up"      # down: left, up: right
        lift = "up" if vertical >= 0 else "down"       # up: the pointer goes down
        events += [
            {"Action": "down", "Button": 1, "Delay": 10, "Type": 1},
            {"Action": "up", "Button": 1, "Delay": 0, "Type": 1},
            {"Action": side, "Button": abs(horizontal), "Delay": 5, "Type": 4},
            {"Action": lift, "Button": abs(vertical), "Delay": delay, "Type": 5},
            {"Action": side, "Button": 0, "Delay": 0, "Type": 4},
            {"Action": lift, "Button": 0, "Delay": 0, "Type": 5},
        ]
    return events


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for gun, bullets in enumerate(GUNS):
        (OUT / f"ShootData_{gun}.Shoot").write_text(json.dumps({"Events": gun_events(bullets)}, indent=3) + "\n")
    write("keyboard", {
        "LightInfo": light_info(1),
        # A silent keyboard rests in deep blue rather than going dark.
        "AudioLightInfo": {"AudioMode": 0, "BkColorR": 0, "BkColorG": 16, "BkColorB": 48,
                           "FgColorR": 255, "FgColorG": 0, "FgColorB": 0,
                           "7ColorFlags": 1, "ColorTypeFlags": 0},
        "LightList": light_list(170),
        "KeyList": key_list(page_keys("kPageKeyDefaults", 126)),
        # Repeat delay step 1 is 500 ms, the usual desktop default.
        "SystemStages": {"Repeat": 0, "RepeatDelay": 1, "Key6Flag": 0, "PollingRate": 0,
                         "WFlag": 0, "WinFlag": 0},
        "CustomLightMode": {"CustomLightModeGroupIndex": 0, "LightColorInfo": []},
    })
    write("mouse", {
        "LightInfo": light_info(1), "LightList": light_list(15), "KeyList": key_list(page_keys("kMouseButtonDefaults", 11)),
        # Five stages from precise to fast, each with its own indicator
        # colour, kept as the mouse's slider steps (step 50 from 100 on the
        # usual sensor: 800, 1600, 2400, 3200, 6400); the second is the one
        # in use at first.
        "DPIStages": {"StageActive": 1, "StageDPIs": [
            dpi_stage(step, colour) for step, colour in (
                (14, (255, 0, 0)), (30, (0, 255, 0)), (46, (0, 0, 255)),
                (62, (255, 255, 0)), (126, (255, 0, 255)))]},
        # The usual desktop pointer: 500 ms double click, middle speed,
        # precision on, three lines a notch.
        "SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                         "ScorllPage": 0, "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 0},
        # Movement correction presets the page offers (never written back).
        "CorrectInfo": [
            {"CorrectPixThresh": 0, "CorrectMinSq": 0, "CorrectSelect": 1, "CorrectName": "Off"},
            {"CorrectPixThresh": 2, "CorrectMinSq": 4, "CorrectSelect": 0, "CorrectName": "Light"},
            {"CorrectPixThresh": 4, "CorrectMinSq": 9, "CorrectSelect": 0, "CorrectName": "Strong"},
        ],
    })
    write("MousePad", {"LightInfo": light_info(1), "LightList": light_list(15), "KeyList": []})
    write("HD", {"LightInfo": light_info(1), "LightList": light_list(13), "KeyList": [],
                 "CustomEQNameInfo": [], "CustomEQHzValueInfo": []})


if __name__ == "__main__":
    main()
