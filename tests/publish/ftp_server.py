"""An FTP server for the publishing tests, on 127.0.0.1 only.

ftp_server.py [--port=N] ROOT USER PASSWORD [CERTFILE KEYFILE]
Serves ROOT to USER on port N (a free one without it), with explicit TLS
required when a certificate is given, and prints "port N" once it listens.
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


class DataChannel(TLS_DTPHandler):
    """Lets a client start TLS on the data connection before its transfer
    command has arrived, as libcurl does; the stock handler closes it."""

    def readable(self):
        if self._ssl_accepting:
            return True
        return super().readable()


def main():
    args = sys.argv[1:]
    port = 0
    if args and args[0].startswith("--port="):
        port = int(args.pop(0)[7:])
    root, user, password = args[0:3]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    if len(args) > 4:
        handler = TLS_FTPHandler
        handler.certfile = args[3]
        handler.keyfile = args[4]
        handler.tls_control_required = True
        handler.tls_data_required = True
        handler.dtp_handler = DataChannel
    else:
        handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.masquerade_address = None
    server = FTPServer(("127.0.0.1", port), handler)
    print("port", server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
