#!/usr/bin/env python3
"""The menu script of the soak run, printed to stdout: 30 battles in a row,
the sides in turn and each side's two fighting kinds in turn, each battle
driven and fired for a while and left by the pause menu."""

lines = []


def click(t, x, y):
    lines.extend([f"{t} move {x} {y}", f"{t + 2} buttondown left", f"{t + 4} buttonup left"])


for n in range(30):
    t = 200 + n * 2400
    robot = n % 2 == 1
    click(t, 400, 260)                          # START
    click(t + 150, 630 if robot else 170, 290)  # the side
    # Leaving a battle puts the kinds back to ABRAMS and D-ED.10; every other
    # visit turns to the side's other kind that fights: the arrow on the
    # right goes back to TIGER, the one on the left on to R-NO.15.
    if (n // 2) % 2 == 1:
        click(t + 300, 80 if robot else 720, 300)
    click(t + 450, 690, 525)                    # NEXT
    click(t + 600, 590, 530)                    # into the battle
    lines += [f"{t + 750} keydown W", f"{t + 800} move 430 280", f"{t + 810} buttondown left",
              f"{t + 1650} buttonup left", f"{t + 1700} keyup W",
              f"{t + 1850} keydown ESCAPE", f"{t + 1851} keyup ESCAPE"]
    click(t + 1900, 400, 345)                   # leave by the pause menu
print("\n".join(lines))
