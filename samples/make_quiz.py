#!/usr/bin/env python3
"""Writes sample.exm, the bundled sample quiz, in the quiz file format.

Each line (header, then one record per question) is Windows-1252 text with every byte
combined with 29 by exclusive or; lines end with CR LF and the file ends with one more
CR LF. Fields are joined by the copyright sign (A9). Usage: make_quiz.py OUTPUT
"""

import sys

SEPARATOR = "\u00a9"
KEY = 29

TITLE = "Animals of the Farm"
CLASS = "Grade 3 - Ms. Rivera"


def number_text(n):
    # Whole numbers are stored with a leading blank when not negative.
    return f" {n}" if n >= 0 else str(n)


def multiple_choice(text, answers, media, correct):
    assert len(answers) == 4 and 0 <= correct < 4
    return SEPARATOR.join(["m", text, *answers, media, number_text(correct)])


def true_false(text, media, answer):
    return SEPARATOR.join(["t", text, media, number_text(0 if answer else 1)])


QUESTIONS = [
    multiple_choice("Look at the picture. Which animal is this?",
                    ["Cow", "Horse", "Goat", "Duck"], "cow.bmp", 0),
    true_false("Look at the picture. This animal is a pig.", "pig.jpg", True),
    multiple_choice("Look at the picture. What do we call the big red building on a farm?",
                    ["Castle", "Barn", "Tent", "Lighthouse"], "barn.wmf", 1),
    multiple_choice("Listen to the farm bell. How many times does it ring?",
                    ["One", "Two", "Three", "Four"], "bell.wav", 2),
    true_false("Listen to the song \"Old MacDonald Had a Farm\". Cows give us milk.",
               "macdonald.mid", True),
    multiple_choice("Listen to the song \"Mary Had a Little Lamb\". What is a baby sheep called?",
                    ["Calf", "Foal", "Chick", "Lamb"], "lamb.mp3", 3),
    true_false("Watch the movie. The sun goes down behind the hill.", "sunrise.avi", False),
    multiple_choice("Watch the movie. What color is the tractor?",
                    ["Blue", "Red", "Purple", "Pink"], "tractor.mpg", 1),
]


def scramble(line):
    data = line.encode("cp1252")
    out = bytes(b ^ KEY for b in data)
    # A scrambled CR or LF would split the line when it is read back.
    assert b"\r" not in out and b"\n" not in out, line
    return out


def quiz_bytes():
    lines = [TITLE + SEPARATOR + CLASS] + QUESTIONS
    return b"".join(scramble(line) + b"\r\n" for line in lines) + b"\r\n"


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(quiz_bytes())
