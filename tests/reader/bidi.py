"""A small WebDriver BiDi client for Firefox, on the standard library alone
(Debian has no geckodriver, and Firefox speaks BiDi itself).

  with Firefox() as ff:
      ff.navigate('file:///.../index.html')
      ff.evaluate('document.title')
"""

import base64
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time


class BidiError(Exception):
    pass


class WebSocket:
    """Client side of RFC 6455, text frames only, as BiDi needs."""

    def __init__(self, host, port, path, timeout=30):
        self.sock = socket.create_connection((host, port), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        request = ('GET %s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
                   'Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n' % (path, host, port, key))
        self.sock.sendall(request.encode())
        head = b''
        while b'\r\n\r\n' not in head:
            chunk = self.sock.recv(1)
            if not chunk:
                raise BidiError('connection closed during the handshake')
            head += chunk
        if b' 101 ' not in head.split(b'\r\n', 1)[0]:
            raise BidiError('handshake refused: ' + head.decode(errors='replace'))

    def send(self, text):
        data = text.encode()
        mask = os.urandom(4)
        n = len(data)
        if n < 126:
            header = struct.pack('!BB', 0x81, 0x80 | n)
        elif n < 65536:
            header = struct.pack('!BBH', 0x81, 0x80 | 126, n)
        else:
            header = struct.pack('!BBQ', 0x81, 0x80 | 127, n)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(data))
        self.sock.sendall(header + mask + masked)

    def _exact(self, n):
        out = b''
        while len(out) < n:
            chunk = self.sock.recv(n - len(out))
            if not chunk:
                raise BidiError('connection closed')
            out += chunk
        return out

    def receive(self):
        message = b''
        while True:
            b1, b2 = self._exact(2)
            n = b2 & 0x7f
            if n == 126:
                n = struct.unpack('!H', self._exact(2))[0]
            elif n == 127:
                n = struct.unpack('!Q', self._exact(8))[0]
            payload = self._exact(n)
            opcode = b1 & 0x0f
            if opcode == 0x8:
                raise BidiError('connection closed by the browser')
            if opcode in (0x9, 0xa):
                continue
            message += payload
            if b1 & 0x80:
                return message.decode()

    def close(self):
        self.sock.close()


class Firefox:
    def __init__(self, binary='/usr/bin/firefox-esr', width=1280, height=800):
        self.profile = tempfile.mkdtemp(prefix='zorvel-firefox-')
        with socket.socket() as s:
            s.bind(('127.0.0.1', 0))
            self.port = s.getsockname()[1]
        self.process = subprocess.Popen(
            [binary, '--headless', '--no-remote', '--profile', self.profile,
             '--remote-debugging-port', str(self.port), '--width', str(width), '--height', str(height),
             'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.ws = None
        self.next_id = 0
        end = time.time() + 60
        while True:
            try:
                self.ws = WebSocket('127.0.0.1', self.port, '/session')
                break
            except (OSError, BidiError):
                if time.time() > end or self.process.poll() is not None:
                    self.close()
                    raise BidiError('Firefox did not offer WebDriver BiDi')
                time.sleep(0.3)
        self.command('session.new', {'capabilities': {}})
        tree = self.command('browsingContext.getTree', {})
        self.context = tree['contexts'][0]['context']
        self.command('browsingContext.setViewport', {'context': self.context,
                                                     'viewport': {'width': width, 'height': height}})

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def command(self, method, params):
        self.next_id += 1
        wanted = self.next_id
        self.ws.send(json.dumps({'id': wanted, 'method': method, 'params': params}))
        while True:
            reply = json.loads(self.ws.receive())
            if reply.get('id') != wanted:
                continue  # an event
            if reply.get('type') == 'error':
                raise BidiError('%s: %s %s' % (method, reply.get('error'), reply.get('message')))
            return reply['result']

    def navigate(self, url):
        self.command('browsingContext.navigate', {'context': self.context, 'url': url, 'wait': 'complete'})

    def evaluate(self, expression):
        """The JSON value of an expression (a promise is awaited)."""
        result = self.command('script.evaluate', {
            'expression': 'Promise.resolve(%s).then((v) => JSON.stringify(v === undefined ? null : v))' % expression,
            'target': {'context': self.context}, 'awaitPromise': True})
        if result.get('type') == 'exception':
            raise BidiError(result['exceptionDetails'].get('text', 'exception'))
        return json.loads(result['result']['value'])

    def screenshot(self, path):
        data = self.command('browsingContext.captureScreenshot', {'context': self.context})['data']
        with open(path, 'wb') as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            if self.ws:
                try:
                    self.command('session.end', {})
                except (BidiError, OSError):
                    pass
                self.ws.close()
        finally:
            if self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(10)
                except subprocess.TimeoutExpired:
                    self.process.kill()
            shutil.rmtree(self.profile, ignore_errors=True)
