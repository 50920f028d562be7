'''A fake BlueZ with one adapter and a camera that speaks the camera's GATT protocol.

python-dbusmock template, run on a private system bus by the tests:
    /usr/bin/python3 -m dbusmock --system -t fakebluez.py

The tests drive it through the interface org.velkamo.FakeBluez on "/":
    Configure(json)   rebuild adapter and devices (see DEFAULTS below for the keys)
    Writes() -> as    what the program wrote, one "<uuid4>|<type>|<hex>" line per write,
                      "<uuid4>|notify|on" for every notification switched on, and one
                      "proto|<request>|<fields...>" line per protocol-buffer request put
                      together from its packets ("proto|bad-packet|..." for packets that
                      do not fit)
    DropLink(addr)    the camera goes out of range
    Notify(uuid4, ay) the connected camera notifies bytes on a characteristic of its control
                      service
'''

import json

import dbus
from gi.repository import GLib

from dbusmock import OBJECT_MANAGER_IFACE, mockobject

BUS_NAME = 'org.bluez'
MAIN_OBJ = '/'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

CONTROL_IFACE = 'org.velkamo.FakeBluez'
ADAPTER_IFACE = 'org.bluez.Adapter1'
DEVICE_IFACE = 'org.bluez.Device1'
SERVICE_IFACE = 'org.bluez.GattService1'
CHAR_IFACE = 'org.bluez.GattCharacteristic1'
DESC_IFACE = 'org.bluez.GattDescriptor1'
AGENT_MANAGER_IFACE = 'org.bluez.AgentManager1'

ADAPTER_PATH = '/org/bluez/hci0'
CCCD = '00002902-0000-1000-8000-00805f9b34fb'


def gp(short):
    return f'b5f9{short}-aa8d-11e3-9046-0002a5d5c51b'


DEFAULTS = {
    'adapter': 'on',            # on | off | absent
    'devices': [                # kind: camera | le | classic
        {'name': 'GoPro 1234', 'address': 'F1:23:45:67:89:AB', 'kind': 'camera'},
    ],
    'ssid': '  GP24645504 ',
    'password': ' p@d-NNc-2ts  ',
    'paired': True,             # False: SSID and password read empty
    'connect': 'ok',            # ok | fail | never (no answer, link never resolves)
    'services': 'both',         # both | control | none
    'stall_details': False,     # the last read of the access-point service fails
    # Writes beyond this many fail (-1: never): a number for the command characteristic, or
    # characteristic ('0091') -> number.
    'write_fail_after': -1,
    'write_no_response': False, # the command characteristic offers write without response
    # Writes answered late: characteristic (its four hex digits, '0091') -> milliseconds
    # between the WriteValue and its answer. The write itself counts at once.
    'write_delay_ms': {},
    # Characteristics ('0077', '0092', ...) on which each message of several packets loses
    # its first packet on the way; the camera tells that message again, whole, soon after.
    'lose_first_packet': [],
    'model_number': 62,
    'model_name': 'HERO12 Black',
    # The home network side: what a scan finds (flags: 0x01 secured, 0x02 known, ...), the
    # last provisioning state of a join (5 joined; 7, 8, 10, ... fail), the network the camera
    # is on already (its name; None: not set up), and what it tells once there.
    'networks': [
        {'ssid': 'dabugdabug', 'bars': 3, 'mhz': 5220, 'flags': 0x2F},
        {'ssid': 'Home & Co', 'bars': 2, 'mhz': 2437, 'flags': 0x01},
        {'ssid': 'Cafe', 'bars': 1, 'mhz': 2412, 'flags': 0x00},
    ],
    'join_result': 5,
    'home': None,
    'cohn_cert': '',
    'cohn_ip': '192.168.50.103',
    'cohn_user': 'gopro',
    'cohn_password': 'Gzt2m6YMvLAo',
}

STATE = {'config': dict(DEFAULTS), 'writes': [], 'char_writes': {}}
NET_RESPONSE = 'service0030/char0033'
CMD_RESPONSE = 'service0020/char0023'
QUERY_RESPONSE = 'service0020/char002d'


def bus_path(path):
    return dbus.ObjectPath(path)


def manager():
    # The main object is registered in mockobject.objects only after load() returns.
    return STATE['mock']


def emit_added(path):
    obj = mockobject.objects[path]
    manager().EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesAdded', 'oa{sa{sv}}',
                         [bus_path(path), obj.props])


def remove(path):
    if path not in mockobject.objects:
        return
    ifaces = list(mockobject.objects[path].props.keys())
    mockobject.objects[path].remove_from_connection()
    del mockobject.objects[path]
    manager().EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesRemoved', 'oas',
                         [bus_path(path), dbus.Array(ifaces, signature='s')])


def remove_under(prefix):
    for path in sorted([p for p in mockobject.objects if p.startswith(prefix + '/')],
                       key=len, reverse=True):
        remove(path)


def set_props(path, iface, changes):
    obj = mockobject.objects[path]
    for key, value in changes.items():
        obj.props[iface][key] = value
    obj.EmitSignal(dbus.PROPERTIES_IFACE, 'PropertiesChanged', 'sa{sv}as',
                   [iface, dbus.Dictionary(changes, signature='sv'), dbus.Array([], signature='s')])


def byte_array(data):
    return dbus.Array([dbus.Byte(b) for b in data], signature='y')


# ------------------------------------------------------------------------------------
# The camera's hardware-information reply, laid out as the camera sends it

def hardware_info_message(cfg):
    def field(raw):
        return bytes([len(raw)]) + raw
    payload = (field(int(cfg['model_number']).to_bytes(4, 'big'))
               + field(cfg['model_name'].encode())
               + field(b'0x05')
               + field(b'H23.01.01.10.00')
               + field(b'C3501324645504')
               + field(b'GP24645504')
               + field(b'065747046ceb')
               + bytes(11))
    return bytes([0x3C, 0x00]) + payload


def packets(message):
    '''One packet with the 5-bit header, or a start packet with the 13-bit length header, then
    continuation packets.'''
    length = len(message)
    if length < 20:
        return [bytes([length]) + message]
    out = [bytes([0x20 | (length >> 8), length & 0xFF]) + message[:18]]
    rest = message[18:]
    counter = 0
    while rest:
        out.append(bytes([0x80 | (counter & 0x0F)]) + rest[:19])
        rest = rest[19:]
        counter += 1
    return out


# ------------------------------------------------------------------------------------
# Protocol buffers, by hand: varints and length-delimited fields are all the camera's
# messages use.

def varint(n):
    n &= (1 << 64) - 1
    out = bytearray()
    while True:
        low, n = n & 0x7F, n >> 7
        out.append(low | (0x80 if n else 0))
        if not n:
            return bytes(out)


def pb(*fields):
    '''(number, value) pairs: int and bool as varints, str and bytes length-delimited.'''
    out = b''
    for number, value in fields:
        if isinstance(value, (str, bytes)):
            data = value.encode() if isinstance(value, str) else value
            out += varint(number << 3 | 2) + varint(len(data)) + data
        else:
            out += varint(number << 3) + varint(int(value))
    return out


def pb_fields(data):
    fields, i = {}, 0

    def read_varint():
        nonlocal i
        value, shift = 0, 0
        while True:
            byte = data[i]
            i += 1
            value |= (byte & 0x7F) << shift
            shift += 7
            if not byte & 0x80:
                return value
    while i < len(data):
        key = read_varint()
        if key & 7 == 0:
            value = read_varint()
        elif key & 7 == 2:
            length = read_varint()
            value, i = bytes(data[i:i + length]), i + length
        else:
            raise ValueError('unexpected wire type')
        fields.setdefault(key >> 3, []).append(value)
    return fields


# ------------------------------------------------------------------------------------
# GATT objects of the camera

def char_short(path):
    return str(mockobject.objects[path].props[CHAR_IFACE]['UUID'])[4:8]


def notify(char_path, data):
    obj = mockobject.objects.get(char_path)
    if obj is None or not obj.props[CHAR_IFACE]['Notifying']:
        return
    set_props(char_path, CHAR_IFACE, {'Value': byte_array(data)})


def response_path(device_path):
    return device_path + '/service0020/char0023'


def assemble(char_path, packet):
    '''Puts written packets together: the message so far and whether it is whole.'''
    st = STATE['incoming'].setdefault(char_path, {'data': b'', 'need': -1, 'next': 0})
    head = packet[0]
    if head & 0x80:
        if st['need'] < 0 or head & 0x0F != st['next']:
            STATE['writes'].append(f'proto|bad-packet|{packet.hex()}')
            st['need'] = -1
            return b'', False
        st['next'] = (st['next'] + 1) & 0x0F
        st['data'] += packet[1:]
    elif head & 0x60 == 0x20 and len(packet) >= 2:
        st.update(data=packet[2:], need=((head & 0x1F) << 8) | packet[1], next=0)
    elif head & 0x60 == 0:
        st.update(data=packet[1:], need=head & 0x1F, next=0)
    else:
        st['need'] = -1
        return b'', False
    return st['data'], len(st['data']) >= st['need']


def tell(char_path, parts):
    '''Notifies a message's packets; on a characteristic set to lose packets, a message of
    several first comes without its start packet, then again whole.'''
    lossy = char_short(char_path) in STATE['config']['lose_first_packet']
    if lossy and len(parts) > 1:
        for packet in parts[1:]:
            notify(char_path, packet)

        def again():
            for packet in parts:
                notify(char_path, packet)
            return False
        GLib.timeout_add(20, again)
        return
    for packet in parts:
        notify(char_path, packet)


def send_later(device_path, ms, char, message):
    def send():
        if f'{device_path}/{char}' in mockobject.objects:
            tell(f'{device_path}/{char}', packets(message))
        return False
    GLib.timeout_add(ms, send)


def cohn_status(connecting=False):
    cfg = STATE['config']
    provisioned, sta = STATE['provisioned'], STATE['sta']
    fields = [(1, 1 if provisioned else 0)]
    if provisioned and sta and not connecting:
        fields += [(2, 27), (3, cfg['cohn_user']), (4, cfg['cohn_password']), (5, cfg['cohn_ip']),
                   (6, 1), (7, sta), (8, '2474f7f66104')]
    else:
        fields += [(2, 29 if sta else 28)]
    return bytes([0xF5, 0xEF]) + pb(*fields)


def answer_frame(device_path, message):
    '''The camera's network management and home-network requests, answered in order.'''
    cfg = STATE['config']
    feature, action, body = message[0], message[1], pb_fields(message[2:])
    log = STATE['writes'].append
    later = lambda ms, char, reply: send_later(device_path, ms, char, reply)
    networks = cfg['networks']
    if (feature, action) == (0x02, 0x02):
        log('proto|scan')
        later(5, NET_RESPONSE, bytes([0x02, 0x82]) + pb((1, 1), (2, 2)))
        configured = sum(1 for n in networks if n['flags'] & 0x02)
        later(60, NET_RESPONSE, bytes([0x02, 0x0B]) + pb((1, 5), (2, 1), (3, len(networks)), (4, configured)))
    elif (feature, action) == (0x02, 0x03):
        log(f"proto|entries|{body[1][0]}|{body[2][0]}|{body[3][0]}")
        entries = [(3, pb((1, n['ssid']), (2, n['bars']), (4, n['mhz']), (5, n['flags']))) for n in networks]
        later(5, NET_RESPONSE, bytes([0x02, 0x83]) + pb((1, 1), (2, body[3][0]), *entries))
    elif (feature, action) in ((0x02, 0x04), (0x02, 0x05)):
        ssid = body[1][0].decode()
        if action == 0x04:
            log(f'proto|connect|{ssid}')
        else:
            log(f'proto|connect_new|{ssid}|{body[2][0].decode()}')
        later(5, NET_RESPONSE, bytes([0x02, action | 0x80]) + pb((1, 1), (2, 2), (3, 60)))
        later(40, NET_RESPONSE, bytes([0x02, 0x0C]) + pb((1, 2)))
        result = int(cfg['join_result'])
        if result in (5, 6):
            def joined():
                STATE['sta'] = ssid
                return False
            GLib.timeout_add(70, joined)
        later(80, NET_RESPONSE, bytes([0x02, 0x0C]) + pb((1, result)))
        if result in (5, 6):
            # Notifications the camera sends after joining, of no use to anyone.
            later(90, NET_RESPONSE, bytes([0x02, 0xFF]) + pb((1, 1)))
            later(95, QUERY_RESPONSE, bytes([0xF5, 0xFF]))
    elif (feature, action) == (0xF1, 0x67):
        log(f"proto|create_cert|{body.get(1, [0])[0]}")
        STATE['provisioned'] = True
        later(5, CMD_RESPONSE, bytes([0xF1, 0xE7]) + pb((1, 1)))
    elif (feature, action) == (0xF1, 0x66):
        log('proto|clear_cert')
        STATE['provisioned'], STATE['sta'] = False, None
        later(5, CMD_RESPONSE, bytes([0xF1, 0xE6]) + pb((1, 1)))
    elif (feature, action) == (0xF5, 0x6E):
        log('proto|get_cert')
        if STATE['provisioned']:
            later(5, QUERY_RESPONSE, bytes([0xF5, 0xEE]) + pb((1, 1), (2, cfg['cohn_cert'])))
        else:
            later(5, QUERY_RESPONSE, bytes([0xF5, 0xEE]) + pb((1, 6)))
    elif (feature, action) == (0xF5, 0x6F):
        register = body.get(1, [0])[0]
        log(f'proto|cohn_status|{register}')
        # On its way to the network first, then there with its address and login.
        later(5, QUERY_RESPONSE, cohn_status(connecting=True))
        if STATE['provisioned'] and STATE['sta'] and register:
            later(60, QUERY_RESPONSE, cohn_status())
    else:
        log(f'proto|unknown|{message.hex()}')


def answer_command(device_path, data):
    cfg = STATE['config']
    if len(data) >= 2 and data[1] == 0x3C:
        replies = packets(hardware_info_message(cfg))
    elif len(data) >= 2:
        replies = [bytes([0x02, data[1], 0x00])]
    else:
        return

    def send():
        if response_path(device_path) in mockobject.objects:
            tell(response_path(device_path), replies)
        return False
    GLib.timeout_add(5, send)


def char_read(char, options):
    cfg = STATE['config']
    short = char_short(char.path)
    if short in ('0002', '0003'):
        if not cfg['paired']:
            return byte_array(b'')
        text = cfg['ssid'] if short == '0002' else cfg['password']
        return byte_array(text.encode())
    return byte_array(bytes(char.props[CHAR_IFACE]['Value']))


def char_write(char, value, options):
    cfg = STATE['config']
    short = char_short(char.path)
    kind = str(options.get('type', 'request'))
    data = bytes(value)
    STATE['writes'].append(f'{short}|{kind}|{data.hex()}')
    device_path = char.path.rsplit('/', 2)[0]
    count = STATE['char_writes'][short] = STATE['char_writes'].get(short, 0) + 1
    limits = cfg['write_fail_after']
    limit = limits.get(short, -1) if isinstance(limits, dict) else (limits if short == '0072' else -1)
    if 0 <= limit < count:
        raise dbus.exceptions.DBusException('write refused', name='org.bluez.Error.Failed')
    # Frames of a feature go to its characteristic; on the command one, the rest are commands.
    feature = {'0072': 0xF1, '0076': 0xF5, '0091': 0x02}.get(short)
    if feature is None or not data:
        return
    message, whole = assemble(char.path, data)
    if message[:1] == bytes([feature]):
        if whole:
            answer_frame(device_path, message)
    elif short == '0072':
        if data == bytes.fromhex('03170101'):
            # The access point and the home network exclude each other.
            STATE['sta'] = None
        answer_command(device_path, data)


def char_write_answered(char, value, options, ok, fail):
    '''WriteValue: the write counts at once, its answer comes after the delay the test set for
    the characteristic. A refusal is answered at once.'''
    char_write(char, value, options)
    delay = int(STATE['config']['write_delay_ms'].get(char_short(char.path), 0))
    if delay <= 0:
        ok()
        return

    def answer():
        ok()
        return False
    GLib.timeout_add(delay, answer)


def answered_later(name, in_signature, function):
    '''A D-Bus method that answers through callbacks instead of its return value.'''
    def method(self, value, options, ok, fail):
        return function(self, value, options, ok, fail)
    method.__name__ = name
    return dbus.service.method(CHAR_IFACE, in_signature=in_signature, out_signature='',
                               async_callbacks=('ok', 'fail'))(method)


def start_notify(char):
    STATE['writes'].append(f'{char_short(char.path)}|notify|on')
    set_props(char.path, CHAR_IFACE, {'Notifying': dbus.Boolean(True, variant_level=1)})


def stop_notify(char):
    STATE['writes'].append(f'{char_short(char.path)}|notify|off')
    set_props(char.path, CHAR_IFACE, {'Notifying': dbus.Boolean(False, variant_level=1)})


def desc_read(desc, options):
    if desc.stall:
        raise dbus.exceptions.DBusException('read refused', name='org.bluez.Error.NotPermitted')
    return byte_array(bytes(desc.props[DESC_IFACE]['Value']))


def desc_write(desc, value, options):
    desc.props[DESC_IFACE]['Value'] = byte_array(bytes(value))


def add_service(device_path, name, uuid):
    path = f'{device_path}/{name}'
    manager().AddObject(path, SERVICE_IFACE, {
        'UUID': dbus.String(uuid, variant_level=1),
        'Primary': dbus.Boolean(True, variant_level=1),
        'Device': dbus.ObjectPath(device_path, variant_level=1),
        'Includes': dbus.Array([], signature='o', variant_level=1),
    }, [])
    return path


def add_char(service_path, name, uuid, flags, cccd=None, stall=False):
    path = f'{service_path}/{name}'
    manager().AddObject(path, CHAR_IFACE, {
        'UUID': dbus.String(uuid, variant_level=1),
        'Service': dbus.ObjectPath(service_path, variant_level=1),
        'Value': dbus.Array([], signature='y', variant_level=1),
        'Flags': dbus.Array(flags, signature='s', variant_level=1),
        'Notifying': dbus.Boolean(False, variant_level=1),
    }, [
        ('ReadValue', 'a{sv}', 'ay', char_read),
        ('WriteValue', 'aya{sv}', '', char_write),
        ('StartNotify', '', '', start_notify),
        ('StopNotify', '', '', stop_notify),
    ])
    # dbusmock's own methods answer when they return; a write may be answered later.
    mockobject.objects[path].methods[CHAR_IFACE]['WriteValue'] = (
        'aya{sv}', '', None, answered_later('WriteValue', 'aya{sv}', char_write_answered))
    if cccd:
        dpath = f'{path}/{cccd}'
        manager().AddObject(dpath, DESC_IFACE, {
            'UUID': dbus.String(CCCD, variant_level=1),
            'Characteristic': dbus.ObjectPath(path, variant_level=1),
            'Value': dbus.Array([dbus.Byte(0), dbus.Byte(0)], signature='y', variant_level=1),
        }, [
            ('ReadValue', 'a{sv}', 'ay', desc_read),
            ('WriteValue', 'aya{sv}', '', desc_write),
        ])
        mockobject.objects[dpath].stall = stall


def export_gatt(device_path):
    cfg = STATE['config']
    if cfg['services'] == 'both':
        ap = add_service(device_path, 'service0010', gp('0001'))
        add_char(ap, 'char0011', gp('0002'), ['read'])
        add_char(ap, 'char0013', gp('0003'), ['read'])
        add_char(ap, 'char0015', gp('0004'), ['write'])
        # The access point state comes last: its descriptor read is the service's last read.
        add_char(ap, 'char0017', gp('0005'), ['read', 'indicate'], 'desc0018',
                 stall=cfg['stall_details'])
    if cfg['services'] in ('both', 'control'):
        cmd_flags = ['write', 'write-without-response'] if cfg['write_no_response'] else ['write']
        ctl = add_service(device_path, 'service0020', '0000fea6-0000-1000-8000-00805f9b34fb')
        add_char(ctl, 'char0021', gp('0072'), cmd_flags)
        add_char(ctl, 'char0023', gp('0073'), ['notify'], 'desc0024')
        add_char(ctl, 'char0026', gp('0074'), ['write'])
        add_char(ctl, 'char0028', gp('0075'), ['notify'], 'desc0029')
        add_char(ctl, 'char002b', gp('0076'), ['write'])
        add_char(ctl, 'char002d', gp('0077'), ['notify'], 'desc002e')
    if cfg['services'] == 'both':
        net = add_service(device_path, 'service0030', gp('0090'))
        add_char(net, 'char0031', gp('0091'), ['write'])
        add_char(net, 'char0033', gp('0092'), ['notify'], 'desc0034')
    for path in sorted(p for p in mockobject.objects if p.startswith(device_path + '/')):
        emit_added(path)


# ------------------------------------------------------------------------------------
# Adapter and devices

def device_connect(device):
    cfg = STATE['config']
    if cfg['connect'] == 'fail':
        raise dbus.exceptions.DBusException('connection refused', name='org.bluez.Error.Failed')
    if device.props[DEVICE_IFACE]['Connected']:
        return
    set_props(device.path, DEVICE_IFACE, {'Connected': dbus.Boolean(True, variant_level=1)})
    if cfg['connect'] == 'never':
        return

    def resolved():
        if device.path in mockobject.objects and device.props[DEVICE_IFACE]['Connected']:
            export_gatt(device.path)
            set_props(device.path, DEVICE_IFACE,
                      {'ServicesResolved': dbus.Boolean(True, variant_level=1)})
        return False
    GLib.timeout_add(10, resolved)


def drop(device_path):
    if device_path not in mockobject.objects:
        return
    remove_under(device_path)
    set_props(device_path, DEVICE_IFACE, {
        'ServicesResolved': dbus.Boolean(False, variant_level=1),
        'Connected': dbus.Boolean(False, variant_level=1),
    })


def device_disconnect(device):
    drop(device.path)


def start_discovery(adapter):
    set_props(adapter.path, ADAPTER_IFACE, {'Discovering': dbus.Boolean(True, variant_level=1)})


def stop_discovery(adapter):
    set_props(adapter.path, ADAPTER_IFACE, {'Discovering': dbus.Boolean(False, variant_level=1)})


def add_device(entry):
    address = entry['address']
    path = ADAPTER_PATH + '/dev_' + address.replace(':', '_').upper()
    props = {
        'Address': dbus.String(address, variant_level=1),
        'AddressType': dbus.String('random', variant_level=1),
        'Name': dbus.String(entry['name'], variant_level=1),
        'Alias': dbus.String(entry['name'], variant_level=1),
        'Adapter': dbus.ObjectPath(ADAPTER_PATH, variant_level=1),
        'Paired': dbus.Boolean(False, variant_level=1),
        'Trusted': dbus.Boolean(False, variant_level=1),
        'Blocked': dbus.Boolean(False, variant_level=1),
        'Connected': dbus.Boolean(False, variant_level=1),
        'ServicesResolved': dbus.Boolean(False, variant_level=1),
        'RSSI': dbus.Int16(int(entry.get('rssi', -60)), variant_level=1),
        'UUIDs': dbus.Array(['0000fea6-0000-1000-8000-00805f9b34fb']
                            if entry['kind'] == 'camera' else [], signature='s', variant_level=1),
        'ManufacturerData': dbus.Dictionary({}, signature='qv', variant_level=1),
        'ServiceData': dbus.Dictionary({}, signature='sv', variant_level=1),
    }
    if entry['kind'] == 'classic':
        props['Class'] = dbus.UInt32(0x240404, variant_level=1)
    manager().AddObject(path, DEVICE_IFACE, props, [
        ('Connect', '', '', device_connect),
        ('Disconnect', '', '', device_disconnect),
        ('Pair', '', '', ''),
        ('CancelPairing', '', '', ''),
    ])
    emit_added(path)
    return path


def configure(mock, text):
    cfg = dict(DEFAULTS)
    cfg.update(json.loads(text))
    STATE['config'] = cfg
    STATE['writes'] = []
    STATE['char_writes'] = {}
    STATE['incoming'] = {}
    home = cfg['home']
    STATE['provisioned'], STATE['sta'] = bool(home), home
    remove_under(ADAPTER_PATH)
    remove(ADAPTER_PATH)
    if cfg['adapter'] == 'absent':
        return
    manager().AddObject(ADAPTER_PATH, ADAPTER_IFACE, {
        'Address': dbus.String('00:11:22:33:44:55', variant_level=1),
        'AddressType': dbus.String('public', variant_level=1),
        'Name': dbus.String('velkamo-test', variant_level=1),
        'Alias': dbus.String('velkamo-test', variant_level=1),
        'Class': dbus.UInt32(0x10c, variant_level=1),
        'Powered': dbus.Boolean(cfg['adapter'] == 'on', variant_level=1),
        'Discoverable': dbus.Boolean(False, variant_level=1),
        'Pairable': dbus.Boolean(True, variant_level=1),
        'Discovering': dbus.Boolean(False, variant_level=1),
        'UUIDs': dbus.Array([], signature='s', variant_level=1),
        'Modalias': dbus.String('usb:v1D6Bp0246d0537', variant_level=1),
    }, [
        ('StartDiscovery', '', '', start_discovery),
        ('StopDiscovery', '', '', stop_discovery),
        ('SetDiscoveryFilter', 'a{sv}', '', ''),
        ('RemoveDevice', 'o', '', lambda adapter, path: remove(str(path))),
        ('GetDiscoveryFilters', '', 'as', 'ret = ["UUIDs", "RSSI", "Transport"]'),
    ])
    emit_added(ADAPTER_PATH)
    for entry in cfg['devices']:
        add_device(entry)


def readvertise(mock, address, rssi):
    '''The device is reported again, with a new signal strength.'''
    path = ADAPTER_PATH + '/dev_' + address.replace(':', '_').upper()
    obj = mockobject.objects[path]
    obj.props[DEVICE_IFACE]['RSSI'] = dbus.Int16(int(rssi), variant_level=1)
    # The advertised data changes too (the camera puts its state in it).
    obj.props[DEVICE_IFACE]['ManufacturerData'] = dbus.Dictionary(
        {dbus.UInt16(0x02F2): dbus.Array([dbus.Byte(int(rssi) & 0xFF)], signature='y', variant_level=1)},
        signature='qv', variant_level=1)
    emit_added(path)


def notify_from_camera(mock, short, data):
    names = {'0073': CMD_RESPONSE, '0075': 'service0020/char0028', '0077': QUERY_RESPONSE,
             '0092': NET_RESPONSE}
    for entry in STATE['config']['devices']:
        device_path = f"{ADAPTER_PATH}/dev_{entry['address'].replace(':', '_').upper()}"
        device = mockobject.objects.get(device_path)
        if device is not None and device.props[DEVICE_IFACE]['Connected']:
            notify(f'{device_path}/{names[short]}', bytes(data))


def load(mock, parameters):
    STATE['mock'] = mock
    mock.AddObject('/org/bluez', AGENT_MANAGER_IFACE, {}, [
        ('RegisterAgent', 'os', '', ''),
        ('RequestDefaultAgent', 'o', '', ''),
        ('UnregisterAgent', 'o', '', ''),
    ])
    mock.AddMethods(CONTROL_IFACE, [
        ('Configure', 's', '', configure),
        ('Writes', '', 'as', lambda mock: dbus.Array(STATE['writes'], signature='s')),
        ('DropLink', 's', '', lambda mock, address: drop(
            ADAPTER_PATH + '/dev_' + address.replace(':', '_').upper())),
        ('Notify', 'say', '', notify_from_camera),
        ('Readvertise', 'sn', '', readvertise),
    ])
    configure(mock, '{}')
