# A print server that answers every question about its one printer "Stall" (its PPD too) and
# holds every job's hand-over (Print-Job, Create-Job) without an answer until it is sent
# SIGUSR1, which answers the jobs held then; the job's document (Send-Document) is taken and
# answered at once. It prints its port, writes each operation it is asked to its standard
# error, and what becomes of the jobs to the file named by its argument, a line each as it
# happens: "held N" as job N's hand-over arrives, "released N" once it is answered,
# "received N BYTES" once its document has come whole and "cancelled N" when the client
# withdraws it. With "--stop PIDFILE" after that file, it stops (SIGSTOP) the process the
# file names as a job's hand-over arrives, before it writes "held N": the program's windows
# can be looked at as they stood then, and whoever reads the line lets it go on (SIGCONT).
import os, signal, socket, struct, sys, threading

PRINTER = "Stall"
PPD = r'''*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "STALL.PPD"
*Manufacturer: "Generic"
*Product: "(Stall)"
*ModelName: "Stall"
*ShortNickName: "Stall"
*NickName: "Stall"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 18 577 824"
*ImageableArea Letter/US Letter: "18 18 594 774"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/US Letter: "612 792"
*OpenUI *Resolution/Resolution: PickOne
*DefaultResolution: 300dpi
*Resolution 300dpi/300 DPI: ""
*CloseUI: *Resolution
'''

def attr(tag, name, value):
    if isinstance(value, str): value = value.encode()
    return struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(value)) + value

def more(tag, value):
    if isinstance(value, str): value = value.encode()
    return struct.pack(">BHH", tag, 0, len(value)) + value

def integer(v): return struct.pack(">i", v)

def printer_group(port):
    uri = "ipp://127.0.0.1:%d/printers/%s" % (port, PRINTER)
    g = b"\x04"
    g += attr(0x42, "printer-name", PRINTER)
    g += attr(0x45, "printer-uri-supported", uri)
    g += attr(0x44, "uri-security-supported", "none")
    g += attr(0x41, "printer-info", "A printer that never takes a job")
    g += attr(0x41, "printer-location", "Nowhere")
    g += attr(0x41, "printer-make-and-model", "Generic PDF")
    g += attr(0x23, "printer-state", integer(3))
    g += attr(0x44, "printer-state-reasons", "none")
    g += attr(0x22, "printer-is-accepting-jobs", b"\x01")
    g += attr(0x22, "printer-is-shared", b"\x00")
    g += attr(0x23, "printer-type", integer(0x800C))
    g += attr(0x45, "device-uri", "file:///dev/null")
    g += attr(0x44, "media-default", "iso_a4_210x297mm")
    g += attr(0x44, "media-supported", "iso_a4_210x297mm") + more(0x44, "na_letter_8.5x11in")
    g += attr(0x49, "document-format-supported", "application/pdf") + more(0x49, "application/octet-stream")
    g += attr(0x49, "document-format-default", "application/pdf")
    g += attr(0x44, "sides-supported", "one-sided")
    g += attr(0x44, "sides-default", "one-sided")
    g += attr(0x21, "copies-default", integer(1))
    g += attr(0x23, "queued-job-count", integer(0))
    return g

def answer(version, request_id, status, groups=b""):
    head = version + struct.pack(">HI", status, request_id)
    op = b"\x01" + attr(0x47, "attributes-charset", "utf-8") + attr(0x48, "attributes-natural-language", "en")
    return head + op + groups + b"\x03"

def read_request(conn, buf):
    while b"\r\n\r\n" not in buf:
        chunk = conn.recv(65536)
        if not chunk: return None, None, b""
        buf += chunk
    head, rest = buf.split(b"\r\n\r\n", 1)
    lines = head.decode("latin-1").split("\r\n")
    headers = {l.split(":", 1)[0].strip().lower(): l.split(":", 1)[1].strip() for l in lines[1:] if ":" in l}
    # The client sends a job's document only once told to go on.
    if headers.get("expect", "").lower() == "100-continue":
        conn.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
    body = rest
    if headers.get("transfer-encoding", "").lower() == "chunked":
        data = b""
        while True:
            while b"\r\n" not in body:
                chunk = conn.recv(65536)
                if not chunk: return None, None, b""
                body += chunk
            size_line, body = body.split(b"\r\n", 1)
            size = int(size_line.split(b";")[0], 16)
            while len(body) < size + 2:
                chunk = conn.recv(65536)
                if not chunk: return None, None, b""
                body += chunk
            if size == 0:
                body = body[2:]
                break
            data += body[:size]
            body = body[size + 2:]
        return lines[0], data, body
    length = int(headers.get("content-length", "0"))
    while len(body) < length:
        chunk = conn.recv(65536)
        if not chunk: return None, None, b""
        body += chunk
    return lines[0], body[:length], body[length:]

def send(conn, payload, kind="application/ipp", code="200 OK"):
    conn.sendall(("HTTP/1.1 %s\r\nContent-Type: %s\r\nContent-Length: %d\r\n\r\n" % (code, kind, len(payload))).encode() + payload)

def job_group(port, job):
    g = b"\x02"
    g += attr(0x21, "job-id", integer(job))
    g += attr(0x45, "job-uri", "ipp://127.0.0.1:%d/jobs/%d" % (port, job))
    g += attr(0x23, "job-state", integer(3))
    g += attr(0x44, "job-state-reasons", "none")
    return g

STATE = open(sys.argv[1], "a", buffering=1)
STOP = sys.argv[3] if len(sys.argv) > 3 and sys.argv[2] == "--stop" else None
lock = threading.Lock()
jobs = 0
held = {}  # job: the event that lets its answer go

def report(line):
    with lock:
        STATE.write(line + "\n")
        STATE.flush()

def stop_the_program():
    try:
        with open(STOP) as f:
            os.kill(int(f.read().strip()), signal.SIGSTOP)
    except (OSError, ValueError):
        pass

def hold(version, rid, conn, port):
    global jobs
    with lock:
        jobs += 1
        job = jobs
        released = held[job] = threading.Event()
    if STOP: stop_the_program()
    report("held %d" % job)
    released.wait()
    send(conn, answer(version, rid, 0, job_group(port, job)))
    report("released %d" % job)
    return job

def release(*_):
    with lock:
        events = list(held.values())
        held.clear()
    for e in events: e.set()

signal.signal(signal.SIGUSR1, release)

def serve(conn, port):
    buf = b""
    job = 0
    while True:
        line, body, buf = read_request(conn, buf)
        if line is None: return
        if line.startswith("GET"):
            sys.stderr.write(line + "\n"); sys.stderr.flush()
            if ".ppd" in line: send(conn, PPD.encode(), "application/vnd.cups-ppd")
            else: send(conn, b"", "text/plain", "404 Not Found")
            continue
        if not line.startswith("POST") or len(body) < 8:
            send(conn, b"", "text/plain", "400 Bad Request"); continue
        version = body[:2]
        op, rid = struct.unpack(">HI", body[2:8])
        sys.stderr.write("op %04x\n" % op); sys.stderr.flush()
        if op in (0x0002, 0x0005):  # Print-Job, Create-Job: held
            job = hold(version, rid, conn, port)
            if op == 0x0002: report("received %d %d" % (job, len(body)))
        elif op == 0x0006:  # Send-Document
            send(conn, answer(version, rid, 0, job_group(port, job)))
            report("received %d %d" % (job, len(body)))
        elif op == 0x0008:  # Cancel-Job
            send(conn, answer(version, rid, 0))
            report("cancelled %d" % (job or jobs))
        elif op in (0x4002, 0x4001, 0x000B):
            send(conn, answer(version, rid, 0, printer_group(port)))
        elif op == 0x000A:  # Get-Jobs: none
            send(conn, answer(version, rid, 0))
        elif op == 0x4003 or op == 0x4004:  # classes: none
            send(conn, answer(version, rid, 0x0406))
        else:
            send(conn, answer(version, rid, 0))

server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", 0))
server.listen(64)
port = server.getsockname()[1]
print(port, flush=True)
while True:
    c, _ = server.accept()
    threading.Thread(target=serve, args=(c, port), daemon=True).start()
