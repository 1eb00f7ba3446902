#!/usr/bin/python3
"""Speaks one message through a speech-dispatcher with the Python client and prints its
events as lines "<seconds since the message was sent> <event> [<mark>]".

  speechd_client.py marks SSML        the whole message, with its index marks
  speechd_client.py stop SECONDS TEXT  cancels the message SECONDS after it was sent
  speechd_client.py begun SECONDS TEXT cancels it SECONDS after its BEGIN (waits up to 60 s)
  speechd_client.py say TEXT [CAP]     the whole message (plain text), capital letters told
                                       as CAP (none, spell, icon)
  speechd_client.py char CHAR [CAP]    one character

A TEXT of "@PATH" is read from the file PATH (the command line cannot hold a megabyte).

The client library registers a message's callback only after speak() has returned, so a BEGIN
that comes very early can be missed; nothing here waits for it.
"""
import sys
import threading
import time

import speechd

mode = sys.argv[1]
client = speechd.SSIPClient("kvtts-test")
client.set_output_module("kvtts")
client.set_language("cs")
done = threading.Event()
begun = threading.Event()
start = time.monotonic()


def note(kind, index_mark=None):
    print(f"{time.monotonic() - start:.3f} {kind}" + (f" {index_mark}" if index_mark else ""),
          flush=True)
    if kind == speechd.CallbackType.BEGIN:
        begun.set()
    if kind in (speechd.CallbackType.END, speechd.CallbackType.CANCEL):
        done.set()


def text(arg):
    if arg.startswith("@"):
        with open(arg[1:], encoding="utf-8") as f:
            return f.read()
    return arg


events = (speechd.CallbackType.BEGIN, speechd.CallbackType.END,
          speechd.CallbackType.CANCEL, speechd.CallbackType.INDEX_MARK)
if mode == "marks":
    client.set_data_mode(speechd.DataMode.SSML)
    client.speak(sys.argv[2], callback=note, event_types=events)
elif mode in ("say", "char"):
    if len(sys.argv) > 3:
        client.set_cap_let_recogn(sys.argv[3])
    if mode == "char":
        client.char(sys.argv[2])
        client.speak(".", callback=note, event_types=events)  # ends once the character has
    else:
        client.speak(text(sys.argv[2]), callback=note, event_types=events)
else:
    client.speak(text(sys.argv[3]), callback=note, event_types=events)
    if mode == "begun":
        begun.wait(60)
    time.sleep(float(sys.argv[2]))
    print(f"{time.monotonic() - start:.3f} cancel", flush=True)
    client.cancel()
done.wait(60)
client.close()
