'''A stand-in for the disk service udisks2, as a python3-dbusmock template.

It answers what Torvane asks of udisks2: the object manager's list of drives and block devices,
and a file system's Mount and Unmount and a drive's PowerOff. A test plugs cards in and out with
org.freedesktop.UDisks2.Mock.AddCard(name, label, size, folder, mounted) and RemoveCard(name):
a card's file system "mounts" on `folder`, a folder the test prepared. PowerOff takes the card
away, as a reader that lost its power does.
'''

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

MOCK_IFACE = 'org.freedesktop.UDisks2.Mock'
DRIVE_IFACE = 'org.freedesktop.UDisks2.Drive'
BLOCK_IFACE = 'org.freedesktop.UDisks2.Block'
FS_IFACE = 'org.freedesktop.UDisks2.Filesystem'


def load(mock, _parameters):
    mock.AddProperties(MAIN_IFACE, {'Version': dbus.String('2.9.4', variant_level=1)})


def _bytes(text):
    return dbus.Array([dbus.Byte(b) for b in text.encode() + b'\0'], signature='y')


def _mount_points(folder):
    return dbus.Array([_bytes(folder)] if folder else [], signature='ay')


def _block_path(name):
    return '/org/freedesktop/UDisks2/block_devices/' + name + '1'


def _drive_path(name):
    return '/org/freedesktop/UDisks2/drives/' + name


def Mount(filesystem, _options):
    filesystem.UpdateProperties(FS_IFACE, {'MountPoints': _mount_points(filesystem.folder)})
    return filesystem.folder


def Unmount(filesystem, _options):
    if getattr(filesystem, 'busy', False):
        raise dbus.exceptions.DBusException('Target is busy', name='org.freedesktop.UDisks2.Error.DeviceBusy')
    filesystem.UpdateProperties(FS_IFACE, {'MountPoints': _mount_points('')})


def PowerOff(drive, _options):
    drive.powered_off = True
    _remove(drive.card_name)


def _remove(name):
    manager = mockobject.objects[MAIN_OBJ]
    for path, interfaces in ((_block_path(name), [BLOCK_IFACE, FS_IFACE]),
                             (_drive_path(name), [DRIVE_IFACE])):
        if path in mockobject.objects:
            manager.RemoveObject(path)
            manager.EmitSignal('org.freedesktop.DBus.ObjectManager', 'InterfacesRemoved', 'oas',
                               [dbus.ObjectPath(path), interfaces])


@dbus.service.method(MOCK_IFACE, in_signature='sstsb', out_signature='')
def AddCard(self, name, label, size, folder, mounted):
    drive = _drive_path(name)
    block = _block_path(name)
    self.AddObject(drive, DRIVE_IFACE, {
        'Removable': dbus.Boolean(True, variant_level=1),
        'MediaRemovable': dbus.Boolean(True, variant_level=1),
        'ConnectionBus': dbus.String('usb', variant_level=1),
        'CanPowerOff': dbus.Boolean(True, variant_level=1),
        'Size': dbus.UInt64(size, variant_level=1),
    }, [('PowerOff', 'a{sv}', '', PowerOff)])
    mockobject.objects[drive].card_name = name
    self.AddObject(block, BLOCK_IFACE, {
        'Device': _bytes('/dev/' + name + '1'),
        'PreferredDevice': _bytes('/dev/' + name + '1'),
        'Drive': dbus.ObjectPath(drive, variant_level=1),
        'IdLabel': dbus.String(label, variant_level=1),
        'IdType': dbus.String('vfat', variant_level=1),
        'Size': dbus.UInt64(size, variant_level=1),
        'HintIgnore': dbus.Boolean(False, variant_level=1),
        'HintSystem': dbus.Boolean(False, variant_level=1),
    }, [])
    filesystem = mockobject.objects[block]
    filesystem.folder = folder
    filesystem.AddProperties(FS_IFACE, {'MountPoints': _mount_points(folder if mounted else '')})
    filesystem.AddMethods(FS_IFACE, [('Mount', 'a{sv}', 's', Mount),
                                     ('Unmount', 'a{sv}', '', Unmount)])
    for path in (drive, block):
        mockobject.objects[path].object_manager_emit_added(path)


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def RemoveCard(self, name):
    _remove(name)


@dbus.service.method(MOCK_IFACE, in_signature='sb', out_signature='')
def SetBusy(self, name, busy):
    mockobject.objects[_block_path(name)].busy = busy
