# orca_linebuffer.py: installed as sitecustomize for the Orca under test
# only, so that its debug log reaches the disk line by line and the test
# can wait on what Orca has said. Orca itself is left as it is.
import builtins
import os

_open = builtins.open
_log = os.environ.get("POKOTAMA_ORCA_LOG")


def _line_buffered_log(file, mode="r", *args, **kwargs):
    if _log and file == _log and "w" in mode and "b" not in mode:
        return _open(file, mode, buffering=1, encoding=kwargs.get("encoding", "utf-8"))
    return _open(file, mode, *args, **kwargs)


builtins.open = _line_buffered_log
