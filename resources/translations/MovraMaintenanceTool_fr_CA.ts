<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_CA" sourcelanguage="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Help Content</source>
        <translation>Contenu de l&apos;aide</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>English (US)</source>
        <translation>Anglais (É.-U.)</translation>
    </message>
    <message>
        <source>French (Canada)</source>
        <translation>Français (Canada)</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Changer de langue</translation>
    </message>
    <message>
        <source>Are you sure you what to change language to [&lt;b&gt;%1&lt;/b&gt;] ?</source>
        <translation>Voulez-vous vraiment changer la langue pour [&lt;b&gt;%1&lt;/b&gt;] ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>&lt;b&gt;Language changed successfully!&lt;/b&gt;</source>
        <translation>&lt;b&gt;La langue a été changée!&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Restart the application to apply changes.</source>
        <translation>Redémarrez l&apos;application pour appliquer les changements.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Could not change language!&lt;/b&gt;</source>
        <translation>&lt;b&gt;Impossible de changer la langue!&lt;/b&gt;</translation>
    </message>
    <message>
        <source>An unexpected error happen while trying to changes language.</source>
        <translation>Une erreur inattendue est survenue lors du changement de langue.</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
    </message>
</context>
<context>
    <name>VEKUpdaterWidget</name>
    <message>
        <source>Update(s) not checked yet</source>
        <translation>Mise(s) à jour pas encore vérifiée(s)</translation>
    </message>
    <message>
        <source>New version(s) available</source>
        <translation>Nouvelle(s) version(s) disponible(s)</translation>
    </message>
    <message>
        <source>Already up-to-date</source>
        <translation>Déjà à jour</translation>
    </message>
</context>
</TS>
