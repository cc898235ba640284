"""Starts and drives the peer office (LibreOffice Calc, headless, through python3-uno) for the
comparison generators: one private profile, one free port, closed again on exit.

    from peeroffice import Office
    with Office() as office:
        doc = office.new_calc()
        ...
        doc = office.load(path, filter_name='Text - txt - csv (StarCalc)', filter_options='44,34,76,1')
        office.store(doc, path, filter_name='Text - txt - csv (StarCalc)', filter_options='44,34,76')

Needs: apt-get install -y libreoffice-calc-nogui python3-uno (run with /usr/bin/python3).

The generators' --check, which needs no office, compares a stored list with what the generator
makes now:

    from peeroffice import check_stored
    sys.exit(check_stored(stored, wanted, 'case lines', 'tools/make-findreplace-peer.py'))
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# The office's error numbers for the formula error values.
ERRORS = {532: '#DIV/0!', 519: '#VALUE!', 524: '#REF!', 525: '#NAME?', 503: '#NUM!', 521: '#NULL!',
          32767: '#N/A'}


def _free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def _url(path):
    import uno
    return uno.systemPathToFileUrl(os.path.abspath(path))


def _properties(**values):
    from com.sun.star.beans import PropertyValue
    out = []
    for name, value in values.items():
        prop = PropertyValue()
        prop.Name = name
        prop.Value = value
        out.append(prop)
    return tuple(out)


class Office:
    """One headless office for the life of a `with` block."""

    def __init__(self, timeout=60):
        self.timeout = timeout
        self.proc = None
        self.profile = None
        self.desktop = None
        self.ctx = None

    def __enter__(self):
        office = shutil.which('soffice') or shutil.which('libreoffice')
        if not office:
            sys.exit('no soffice (apt-get install -y libreoffice-calc-nogui python3-uno)')
        import uno
        self.profile = tempfile.mkdtemp(prefix='peer-office-')
        port = _free_port()
        self.proc = subprocess.Popen(
            [office, '--headless', '--invisible', '--nologo', '--norestore', '--nodefault',
             f'-env:UserInstallation=file://{self.profile}',
             f'--accept=socket,host=127.0.0.1,port={port};urp;'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
        deadline = time.monotonic() + self.timeout
        while True:
            try:
                self.ctx = resolver.resolve(
                    f'uno:socket,host=127.0.0.1,port={port};urp;StarOffice.ComponentContext')
                break
            except Exception:
                if self.proc.poll() is not None or time.monotonic() > deadline:
                    self.__exit__(None, None, None)
                    sys.exit('the office did not start')
                time.sleep(0.3)
        self.desktop = self.ctx.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', self.ctx)
        return self

    def __exit__(self, *exc):
        if self.desktop is not None:
            try:
                self.desktop.terminate()
            except Exception:
                pass
        if self.proc is not None:
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if self.profile:
            shutil.rmtree(self.profile, ignore_errors=True)
        return False

    def new_calc(self):
        return self.desktop.loadComponentFromURL('private:factory/scalc', '_blank', 0, _properties(Hidden=True))

    def load(self, path, filter_name=None, filter_options=None):
        values = {'Hidden': True}
        if filter_name:
            values['FilterName'] = filter_name
        if filter_options is not None:
            values['FilterOptions'] = filter_options
        return self.desktop.loadComponentFromURL(_url(path), '_blank', 0, _properties(**values))

    def store(self, doc, path, filter_name, filter_options=None):
        values = {'FilterName': filter_name, 'Overwrite': True}
        if filter_options is not None:
            values['FilterOptions'] = filter_options
        doc.storeToURL(_url(path), _properties(**values))

    def version(self):
        office = shutil.which('soffice') or 'soffice'
        try:
            out = subprocess.run([office, '--version'], capture_output=True, text=True, timeout=60)
            return out.stdout.strip()
        except Exception:
            return 'unknown'


def cell_answer(cell):
    """A cell's answer as (kind, text): n number (repr), t text, e error name, b blank."""
    from com.sun.star.table.CellContentType import EMPTY, FORMULA, TEXT
    kind = cell.getType()
    if kind == EMPTY:
        return 'b', ''
    if kind == FORMULA:
        err = cell.getError()
        if err:
            return 'e', ERRORS.get(err, f'Err:{err}')
        # FormulaResult: 1 value, 2 string, 4 error.
        if cell.FormulaResultType2 == 2:
            return 't', cell.getString()
        return 'n', repr(cell.getValue())
    if kind == TEXT:
        return 't', cell.getString()
    return 'n', repr(cell.getValue())


def check_stored(stored, wanted, what, generator, show=repr):
    """0 when the stored entries are the generator's; otherwise says where they part (each
    entry as `show` gives it) and how many each has, and gives 1."""
    if stored == wanted:
        print(f'{len(wanted)} {what} as generated')
        return 0
    for i, (x, y) in enumerate(zip(stored, wanted)):
        if x != y:
            print(f'first difference at {i}: stored {show(x)}, generated {show(y)}')
            break
    print(f'{len(stored)} stored {what}, {len(wanted)} generated: regenerate with {generator}')
    return 1
