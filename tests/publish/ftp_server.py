"""An FTP server for the publishing tests, on 127.0.0.1 only.

ftp_server.py ROOT USER PASSWORD [CERTFILE KEYFILE]
Serves ROOT to USER on a free port, with explicit TLS required when a
certificate is given, and prints "port N" once it listens.
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
    root, user, password = sys.argv[1:4]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    if len(sys.argv) > 5:
        handler = TLS_FTPHandler
        handler.certfile = sys.argv[4]
        handler.keyfile = sys.argv[5]
        handler.tls_control_required = True
        handler.tls_data_required = True
        handler.dtp_handler = DataChannel
    else:
        handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.masquerade_address = None
    server = FTPServer(("127.0.0.1", 0), handler)
    print("port", server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
